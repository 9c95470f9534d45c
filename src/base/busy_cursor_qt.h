#pragma once
// The application's wait cursor, held by one owner: setting it twice takes it once, and the
// owner's end gives it back, so a window closed while busy never leaves the pilot a wait cursor.
namespace tolvex {

class BusyCursor {
 public:
  BusyCursor() = default;
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  ~BusyCursor() { set(false); }
  void set(bool busy);
  bool on() const { return on_; }

 private:
  bool on_ = false;
};

}  // namespace tolvex
