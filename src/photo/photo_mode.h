// Photo mode: both screens turn pink and green, a photo of the desk arrives by
// one of four routes, and its analysis names where the monitor stands. The
// decisions live here; windows, files and the clipboard are behind PhotoScreens
// and PhotoFiles so the mode runs the same on the real desktop and in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "geometry/arrangement.h"
#include "photo/photo_aligner.h"
#include "platform/clock.h"

namespace seam {

namespace photo_text {
inline constexpr const char* title = "두 화면이 다 나오게 사진을 찍어 주세요";
inline constexpr const char* hint =
    "책상 앞, 앉은 자리에서 찍으면 제일 정확해요.\n아이폰 카메라로 찍어 AirDrop으로 보내도 바로 "
    "알아봐요.";
inline constexpr const char* camera = "아이폰으로 찍기";
inline constexpr const char* file = "사진 파일 고르기…";
inline constexpr const char* cancel = "취소";
inline constexpr const char* initialStatus = "사진 파일을 이 화면에 끌어 놓아도 돼요 · Esc 취소";
inline constexpr const char* otherScreen = "이 화면도 사진에 다 나오게 해 주세요";
inline constexpr const char* unreadable = "사진을 읽지 못했어요. 다른 사진으로 해 주세요.";
// The camera button reads the clipboard, where phone clipboard sharing puts a photo.
inline constexpr const char* noClipboardImage =
    "클립보드에 사진이 없어요. 휴대폰에서 사진을 복사한 뒤 다시 눌러 주세요.";
}  // namespace photo_text

// The pink screen's window: the control panel and its status line.
class PhotoSurface {
  public:
    virtual ~PhotoSurface() = default;
    // Warm yellow from the first call on.
    virtual void setStatus(const std::string& text) = 0;
};

struct PhotoPinkHandlers {
    std::function<void()> onEsc;
    std::function<void(const std::string& path)> onDrop;  // the first file dropped
    std::function<void()> onCamera;
    std::function<void()> onFile;
    std::function<void()> onCancel;
};

// What a route hands over: an image, or a reason there is none.
struct PhotoDelivery {
    enum class Kind { image, unreadable, none };
    Kind kind = Kind::none;
    PhotoImage image;  // reduced to PhotoAligner::maxSide
};

class PhotoScreens {
  public:
    virtual ~PhotoScreens() = default;
    virtual void activate() = 0;
    // Full-screen windows covering frame (global display space), above everything.
    // Closing is destruction.
    virtual std::unique_ptr<PhotoSurface> openPink(const Rect& frame,
                                                   PhotoPinkHandlers handlers) = 0;
    virtual std::unique_ptr<PhotoSurface> openGreen(const Rect& frame) = 0;
    // A modal chooser of image files shown above the colour windows; nothing when cancelled.
    virtual std::optional<std::string> chooseFile() = 0;
    virtual PhotoDelivery clipboardImage() = 0;
    virtual void beep() = 0;
};

struct DownloadEntry {
    std::string path;
    std::optional<double> created;  // seconds since 1970
    std::optional<long long> size;
};

class PhotoFiles {
  public:
    virtual ~PhotoFiles() = default;
    // The entries of the download folder; nothing when it cannot be listed.
    virtual std::optional<std::vector<DownloadEntry>> downloads() = 0;
    virtual std::optional<PhotoImage> load(const std::string& path) = 0;
};

// The newest photo entry created after `after`, of at least one byte.
std::optional<DownloadEntry> newestDownload(const std::vector<DownloadEntry>& entries,
                                            double after);

// "photo ok via ..." with two-decimal fractions and both boxes.
std::string photoOkLine(const std::string& source, const PhotoAlignResult& result);

class PhotoMode {
  public:
    PhotoMode(Arrangement& arrangement, Clock& clock, Scheduler& scheduler, PhotoScreens& screens,
              PhotoFiles& files);
    ~PhotoMode();
    PhotoMode(const PhotoMode&) = delete;
    PhotoMode& operator=(const PhotoMode&) = delete;

    // False, with nothing opened, unless exactly two displays are attached.
    bool start();
    void stop();
    bool isActive() const { return !windows_.empty(); }

    std::function<void(const PhotoAlignResult&)> onResult;

    double startDate() const { return startDate_; }
    const std::string& status() const { return status_; }

    // The routes, exposed for the windows' callbacks.
    void dropped(const std::string& path);
    void chooseFile();
    void camera();
    void cancel();
    void checkDownloads();

  private:
    void handle(const PhotoImage& image, const std::string& source);
    void setStatus(const std::string& text);
    void loadAndHandle(const std::string& path, const std::string& source);

    Arrangement& arrangement_;
    Clock& clock_;
    Scheduler& scheduler_;
    PhotoScreens& screens_;
    PhotoFiles& files_;
    std::vector<std::unique_ptr<PhotoSurface>> windows_;
    PhotoSurface* pink_ = nullptr;
    std::string status_;
    double startDate_ = 0;
    Scheduler::TaskId poll_ = 0;
    std::optional<std::pair<std::string, long long>> pendingFile_;
    // A download that would not decode, left alone until it changes.
    std::optional<std::pair<std::string, long long>> unreadableFile_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The display that shows pink: the built-in one, else the main one.
std::optional<Disp> photoBuiltin(Arrangement& arrangement, const std::vector<Disp>& list);

struct PhotoConnection {
    std::uint32_t rid = 0, oid = 0;
    Side side = Side::top;
    double aPos = 0, bPos = 0, minOverlap = 0;
    bool operator==(const PhotoConnection&) const = default;
};
// Where the two screens join as the photo shows it; nothing unless two displays.
std::optional<PhotoConnection> photoConnection(Arrangement& arrangement,
                                               const PhotoAlignResult& result);

struct PhotoConfirmTexts {
    std::string message, informative;
};
PhotoConfirmTexts photoConfirmTexts(const PhotoAlignResult& result);

}  // namespace seam
