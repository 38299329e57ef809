#pragma once
// The engine's way to the system clipboard. The window runtime implements it; the command
// line and the tests have none, and without one the clipboard cannot be opened.
#include <cstddef>
#include <vector>

namespace nobrelt {

class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;

    // Takes the clipboard for this program, with no owner window; false when it cannot be had.
    virtual bool Open() = 0;
    // Clears what the clipboard holds; false when that fails.
    virtual bool Empty() = 0;
    // Hands over one CF_DIB block (bitmap header, colour table, pixel bits, anything trailing).
    // From this call on the clipboard owns the block.
    virtual bool SetDib(std::vector<std::byte> block) = 0;
    // Gives the clipboard back. Called once after every successful Open.
    virtual void Close() = 0;
};

}  // namespace nobrelt
