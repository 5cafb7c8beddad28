// Files written at once by the program, committed together.
#include "kivoly/tools.h"
#include "platform/atomic_file.h"

namespace kivoly::tools {

struct FileGroup::Files {
    platform::AtomicFileGroup group;
};

struct FileGroup::Joining::Scope {
    explicit Scope(platform::AtomicFileGroup& group) : joining(group) {}
    platform::AtomicFileGroup::Joining joining;
};

FileGroup::FileGroup() : files_(std::make_unique<Files>()) {}
FileGroup::~FileGroup() = default;

FileGroup::Joining::Joining(FileGroup& group)
    : scope_(std::make_unique<Scope>(group.files_->group)) {}
FileGroup::Joining::~Joining() = default;

std::size_t FileGroup::Size() const {
    return files_->group.Size();
}

bool FileGroup::Commit() {
    return files_->group.Commit();
}

const std::vector<std::string>& FileGroup::Errors() const {
    return files_->group.Errors();
}

}  // namespace kivoly::tools
