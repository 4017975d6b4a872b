#include "photo/qt/photo_job.h"

#include <QImageWriter>
#include <variant>

#include "photo/photo_report.h"
#include "photo/qt/photo_loader.h"
#include "photo/qt/photo_preview.h"

namespace seam {

JobResult photoJob(const std::string& path, const std::optional<std::string>& previewPath,
                   std::ostream& errors) {
    const auto image = PhotoAligner::load(QString::fromStdString(path));
    if (!image) return {{"unreadable"}, 2};
    const PhotoAnalysis analysis = PhotoAligner::analyze(*image);
    if (const auto* error = std::get_if<PhotoAlignError>(&analysis))
        return {{"fail: " + error->description()}, 1};
    const auto& result = std::get<PhotoAlignResult>(analysis);

    JobResult job{photoResultLines(result), 0};
    if (previewPath) {
        const QString out = QString::fromStdString(*previewPath);
        QImageWriter writer(out, "PNG");
        if (!writer.write(photoPreview(result, kCommandPreviewWidth))) {
            errors << "seamwright: cannot write the preview to " << *previewPath << ": "
                   << writer.errorString().toStdString() << '\n';
            job.exitCode = 1;
        }
    }
    return job;
}

}  // namespace seam
