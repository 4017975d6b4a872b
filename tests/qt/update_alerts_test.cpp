#include "update/qt/update_alerts.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>

#include "qt_app.h"

namespace seam {
namespace {

// The version and the notes come from the feed: markup in them is shown as
// written, never interpreted (no images fetched, no links, no hidden text).
TEST(UpdateOfferTest, FeedTextIsPlainText) {
    testing::qtApp();
    const update::Entry entry{.version = "<i>1.1</i>",
                              .url = "https://seamwright.org/u.zip",
                              .sha256 = "00",
                              .notes = "<b>Faster</b><img src=\"https://example.org/x.png\">"};
    QMessageBox box;
    fillOffer(box, entry);
    int withFeedText = 0;
    for (QLabel* label : box.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
        withFeedText +=
            label->text().contains("<i>1.1</i>") || label->text().contains("<b>Faster</b><img");
    }
    EXPECT_EQ(withFeedText, 2);
}

}  // namespace
}  // namespace seam
