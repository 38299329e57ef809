#pragma once
// A clipboard that records what the engine asks of it and can refuse any step.
#include <string>
#include <vector>

#include "engine/clipboard_port.h"
#include "test_support.h"

namespace nobrelt::test {

class FakeClipboard final : public ClipboardPort {
public:
    bool refuseOpen = false;
    bool refuseEmpty = false;
    bool refuseSet = false;

    std::vector<std::string> calls;
    std::vector<Bytes> blocks;  // every block handed over

    bool Open() override {
        calls.push_back("open");
        return !refuseOpen;
    }
    bool Empty() override {
        calls.push_back("empty");
        return !refuseEmpty;
    }
    bool SetDib(std::vector<std::byte> block) override {
        calls.push_back("set");
        if (refuseSet) return false;
        blocks.push_back(std::move(block));
        return true;
    }
    void Close() override { calls.push_back("close"); }
};

}  // namespace nobrelt::test
