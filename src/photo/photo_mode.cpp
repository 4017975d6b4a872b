#include "photo/photo_mode.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "base/format.h"
#include "base/log.h"
#include "base/platform_words.h"

namespace seam {

namespace {
std::string twoDecimals(double v) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    return std::string(buf, res.ptr);
}

std::string lastComponent(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isPhotoName(const std::string& path) {
    const std::string name = lastComponent(path);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos) return false;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "heic" || ext == "jpg" || ext == "jpeg" || ext == "png";
}
}  // namespace

std::optional<DownloadEntry> newestDownload(const std::vector<DownloadEntry>& entries,
                                            double after) {
    std::optional<DownloadEntry> best;
    for (const DownloadEntry& e : entries) {
        if (!isPhotoName(e.path) || !e.created || !e.size) continue;
        if (!(*e.created > after) || *e.size < 1) continue;
        if (!best || *e.created > *best->created) best = e;
    }
    return best;
}

std::string photoOkLine(const std::string& source, const PhotoAlignResult& r) {
    return "photo ok via " + source + " side=" + std::string(rawValue(r.side)) +
           " aFrac=" + twoDecimals(r.aFrac) + " bFrac=" + twoDecimals(r.bFrac) +
           " A=" + formatRect(r.a.box) + " B=" + formatRect(r.b.box);
}

PhotoMode::PhotoMode(Arrangement& arrangement, Clock& clock, Scheduler& scheduler,
                     PhotoScreens& screens, PhotoFiles& files)
    : arrangement_(arrangement),
      clock_(clock),
      scheduler_(scheduler),
      screens_(screens),
      files_(files) {}

PhotoMode::~PhotoMode() {
    *alive_ = false;
    stop();
}

bool PhotoMode::start() {
    stop();
    const std::vector<Disp> list = arrangement_.displays();
    if (list.size() != 2) return false;
    const std::optional<Disp> pink = photoBuiltin(arrangement_, list);
    screens_.activate();
    startDate_ = clock_.wallTime();
    unreadableFile_.reset();
    std::weak_ptr<bool> alive = alive_;
    const auto live = [alive] {
        auto a = alive.lock();
        return a && *a;
    };
    for (const Disp& d : list) {
        if (d.id != pink->id) {
            windows_.push_back(screens_.openGreen(d.f));
            continue;
        }
        PhotoPinkHandlers h;
        h.onEsc = [this, live] {
            if (live()) stop();
            log("photo mode cancelled (esc)");
        };
        h.onDrop = [this, live](const std::string& path) {
            if (live()) dropped(path);
        };
        h.onCamera = [this, live] {
            if (live()) camera();
        };
        h.onFile = [this, live] {
            if (live()) chooseFile();
        };
        h.onCancel = [this, live] {
            if (live()) cancel();
        };
        windows_.push_back(screens_.openPink(d.f, std::move(h)));
        pink_ = windows_.back().get();
        status_ = photo_text::initialStatus;
    }
    poll_ = scheduler_.every(1.0, [this, live] {
        if (live()) checkDownloads();
    });
    log("photo mode start");
    return true;
}

void PhotoMode::stop() {
    if (poll_) scheduler_.cancel(poll_);
    poll_ = 0;
    pink_ = nullptr;
    // A window may call back into stop() while it closes.
    auto closing = std::move(windows_);
    windows_.clear();
    status_.clear();
    pendingFile_.reset();
    closing.clear();
}

void PhotoMode::dropped(const std::string& path) {
    loadAndHandle(path, "drop " + lastComponent(path));
}

void PhotoMode::chooseFile() {
    const std::optional<std::string> path = screens_.chooseFile();
    if (path && isActive()) loadAndHandle(*path, "file " + lastComponent(*path));
}

void PhotoMode::camera() {
    const PhotoDelivery d = screens_.clipboardImage();
    if (!isActive()) return;
    switch (d.kind) {
        case PhotoDelivery::Kind::image:
            return handle(d.image, "continuity");
        case PhotoDelivery::Kind::unreadable:
            return setStatus(photo_text::unreadable);
        case PhotoDelivery::Kind::none:
            return setStatus(photo_text::noClipboardImage);
    }
}

void PhotoMode::cancel() {
    stop();
    log("photo mode cancelled");
}

void PhotoMode::checkDownloads() {
    const auto entries = files_.downloads();
    if (!entries) return;
    const std::optional<DownloadEntry> newest = newestDownload(*entries, startDate_);
    if (!newest) return;
    const std::pair<std::string, long long> seen{newest->path, *newest->size};
    // A file that would not decode is not read (and beeped about) again until it changes.
    if (seen == unreadableFile_) return;
    if (seen != pendingFile_) {
        pendingFile_ = seen;
        return;
    }
    pendingFile_.reset();
    const std::optional<PhotoImage> image = files_.load(seen.first);
    if (!image) {
        unreadableFile_ = seen;
        return setStatus(photo_text::unreadable);
    }
    handle(*image, "airdrop " + lastComponent(seen.first));
}

void PhotoMode::loadAndHandle(const std::string& path, const std::string& source) {
    const std::optional<PhotoImage> image = files_.load(path);
    if (!image) return setStatus(photo_text::unreadable);
    handle(*image, source);
}

void PhotoMode::handle(const PhotoImage& image, const std::string& source) {
    const PhotoAnalysis analysis = PhotoAligner::analyze(image);
    if (const auto* error = std::get_if<PhotoAlignError>(&analysis)) {
        log("photo fail via " + source + ": " + error->description());
        setStatus(error->description());
        startDate_ = clock_.wallTime();
        return;
    }
    const auto& result = std::get<PhotoAlignResult>(analysis);
    log(photoOkLine(source, result));
    stop();
    if (onResult) onResult(result);
}

void PhotoMode::setStatus(const std::string& text) {
    if (pink_) {
        status_ = text;
        pink_->setStatus(text);
    }
    screens_.beep();
}

std::optional<Disp> photoBuiltin(Arrangement& arrangement, const std::vector<Disp>& list) {
    if (list.empty()) return std::nullopt;
    for (const Disp& d : list)
        if (arrangement.isBuiltin(d.id)) return d;
    for (const Disp& d : list)
        if (d.f.x == 0 && d.f.y == 0) return d;
    const std::uint32_t main = arrangement.mainDisplay();
    for (const Disp& d : list)
        if (d.id == main) return d;
    return list.front();
}

std::optional<PhotoConnection> photoConnection(Arrangement& arrangement,
                                               const PhotoAlignResult& r) {
    const std::vector<Disp> list = arrangement.displays();
    if (list.size() != 2) return std::nullopt;
    const Disp a = *photoBuiltin(arrangement, list);
    const Disp b = list[0].id == a.id ? list[1] : list[0];
    PhotoConnection c{.rid = a.id, .oid = b.id, .side = r.side};
    if (horizontal(r.side)) {
        c.aPos = a.f.minX() + r.aFrac * a.f.width;
        c.bPos = b.f.minX() + r.bFrac * b.f.width;
        c.minOverlap = 0.12 * std::min(a.f.width, b.f.width);
    } else {
        c.aPos = a.f.minY() + r.aFrac * a.f.height;
        c.bPos = b.f.minY() + r.bFrac * b.f.height;
        c.minOverlap = 0.12 * std::min(a.f.height, b.f.height);
    }
    return c;
}

PhotoConfirmTexts photoConfirmTexts(const PhotoAlignResult& r) {
    const std::string laptop(platformWords().builtinKo);
    const bool horiz = horizontal(r.side);
    return {
        "사진으로 보니 모니터가 " + laptop + " " + std::string(ko(r.side)) + "에 있어요",
        laptop + " " + std::string(ko(r.side)) + " 가장자리의 " + positionWord(r.aFrac, horiz) +
            "과 모니터 " + std::string(ko(opposite(r.side))) + " 가장자리의 " +
            positionWord(r.bFrac, horiz) +
            "이 맞닿게 이을게요. 사진 속 파란 점이 이어지는 자리예요.",
    };
}

}  // namespace seam
