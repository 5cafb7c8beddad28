// A folder on a file system of its own, a few kilobytes large, for tests of what happens when a
// disk fills up. Mounting needs the right to mount (root); without it the folder is not made and
// the test skips itself.
#pragma once

#include <cstddef>
#include <string>

namespace kivoly::test {

class SmallFileSystem {
  public:
    explicit SmallFileSystem(std::size_t bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
    bool mounted_ = false;
};

}  // namespace kivoly::test
