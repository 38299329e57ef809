#include "engine/clipboard_copy.h"

#include "engine/dib.h"

namespace nobrelt {
namespace {

// Holds the clipboard open and gives it back on every path out.
class OpenClipboard {
public:
    explicit OpenClipboard(ClipboardPort& clipboard) : clipboard_(clipboard), open_(clipboard.Open()) {}
    ~OpenClipboard() {
        if (open_) clipboard_.Close();
    }
    OpenClipboard(const OpenClipboard&) = delete;
    OpenClipboard& operator=(const OpenClipboard&) = delete;
    bool open() const { return open_; }

private:
    ClipboardPort& clipboard_;
    bool open_;
};

}  // namespace

Status CopyImageToClipboardDetailed(ClipboardPort* clipboard, const IconImage& image) {
    if (!clipboard) return Failure{"no clipboard is available"};
    OpenClipboard session(*clipboard);
    if (!session.open()) return Failure{"cannot open the clipboard"};
    if (!clipboard->Empty()) return Failure{"cannot empty the clipboard"};
    if (image.bytes.empty()) return Failure{"the image is empty"};
    auto dib = MakeDib(image);
    if (!dib) return Failure{dib.reason()};
    if (!clipboard->SetDib(std::move(dib->block))) return Failure{"the clipboard refused the image"};
    return {};
}

void CopyImageToClipboard(ClipboardPort* clipboard, const IconImage& image) {
    (void)CopyImageToClipboardDetailed(clipboard, image);
}

}  // namespace nobrelt
