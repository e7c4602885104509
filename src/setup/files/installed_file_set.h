#pragma once
// The target paths this run has written, compared without regard to ASCII
// letter case (paths are folded to lower case once, when they are added).
#include <string>
#include <string_view>
#include <unordered_set>

namespace setup {

class InstalledFileSet {
 public:
  void Reserve(size_t count) { paths_.reserve(count); }
  void Add(std::string_view path) { paths_.insert(Fold(path)); }
  bool Contains(std::string_view path) const { return paths_.count(Fold(path)) != 0; }
  size_t size() const { return paths_.size(); }

  static std::string Fold(std::string_view path) {
    std::string folded(path);
    for (char& c : folded)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
  }

 private:
  std::unordered_set<std::string> paths_;
};

}  // namespace setup
