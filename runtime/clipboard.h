#pragma once
// The engine's clipboard port over QClipboard. A CF_DIB block is offered as "image/bmp" (the
// block behind a 14-byte bitmap file header) and as an image.
#include <cstddef>
#include <vector>

#include "engine/clipboard_port.h"

namespace nobrelt::runtime {

class QtClipboard final : public ClipboardPort {
public:
    bool Open() override;
    bool Empty() override;
    bool SetDib(std::vector<std::byte> block) override;
    void Close() override;

private:
    bool open_ = false;
};

// The clipboard of this program; it can be opened once the runtime has started.
ClipboardPort& SystemClipboard();

// The block as the bytes of a bitmap file; empty when its bitmap header cannot be read.
std::vector<std::byte> BitmapFileOf(const std::vector<std::byte>& block);

}  // namespace nobrelt::runtime
