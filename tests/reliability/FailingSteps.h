#pragma once

#include "model/FileIO.h"

#include <cerrno>
#include <string>

namespace pathwicks::testing {

// The steps of an atomic save, and the ways a write can go wrong.
enum class Step { Create, Permissions, Write, PartialWrite, ZeroWrite, Sync, Close, Rename };

inline const char* name(Step step) {
    switch (step) {
    case Step::Create:
        return "Create";
    case Step::Permissions:
        return "Permissions";
    case Step::Write:
        return "Write";
    case Step::PartialWrite:
        return "PartialWrite";
    case Step::ZeroWrite:
        return "ZeroWrite";
    case Step::Sync:
        return "Sync";
    case Step::Close:
        return "Close";
    case Step::Rename:
        return "Rename";
    }
    return "?";
}

// The real system calls, except that one step fails with the given error.
class FailingSteps : public SaveSteps {
public:
    FailingSteps(Step step, int error) : step_(step), error_(error) {}

    int createTemporary(std::string& pattern) override {
        return fail(Step::Create) ? -1 : SaveSteps::createTemporary(pattern);
    }
    int setPermissions(int fd, mode_t mode) override {
        return fail(Step::Permissions) ? -1 : SaveSteps::setPermissions(fd, mode);
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        if (fail(Step::Write))
            return -1;
        if (step_ == Step::PartialWrite) {
            // Some bytes reach the disk, then it is full.
            if (writes_++ == 0)
                return SaveSteps::write(fd, data, size / 2);
            errno = error_;
            return -1;
        }
        if (step_ == Step::ZeroWrite)
            return 0;
        return SaveSteps::write(fd, data, size);
    }
    int sync(int fd) override { return fail(Step::Sync) ? -1 : SaveSteps::sync(fd); }
    int close(int fd) override {
        if (step_ == Step::Close) {
            // Like a network file system: the descriptor is gone, but the write is reported lost.
            SaveSteps::close(fd);
            errno = error_;
            return -1;
        }
        return SaveSteps::close(fd);
    }
    int rename(const std::string& from, const std::string& to) override {
        return fail(Step::Rename) ? -1 : SaveSteps::rename(from, to);
    }

private:
    bool fail(Step step) {
        if (step != step_)
            return false;
        errno = error_;
        return true;
    }
    Step step_;
    int error_;
    int writes_ = 0;
};

} // namespace pathwicks::testing
