#pragma once
// Shows the busy cursor over the program's windows for as long as it lives.
namespace nobrelt::runtime {

class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool shown_ = false;
};

}  // namespace nobrelt::runtime
