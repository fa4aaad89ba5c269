#pragma once

#include "model/FileIO.h"

#include <cerrno>
#include <string>

namespace pathwicks::testing {

// The steps of an atomic save, and the ways a write can go wrong.
enum class Step { create, permissions, write, partialWrite, zeroWrite, sync, close, rename };

inline const char* name(Step step) {
    switch (step) {
    case Step::create:
        return "Create";
    case Step::permissions:
        return "Permissions";
    case Step::write:
        return "Write";
    case Step::partialWrite:
        return "PartialWrite";
    case Step::zeroWrite:
        return "ZeroWrite";
    case Step::sync:
        return "Sync";
    case Step::close:
        return "Close";
    case Step::rename:
        return "Rename";
    }
    return "?";
}

// The real system calls, except that one step fails with the given error.
class FailingSteps : public SaveSteps {
public:
    FailingSteps(Step step, int error) : step_(step), error_(error) {}

    int createTemporary(std::string& pattern) override {
        return fail(Step::create) ? -1 : SaveSteps::createTemporary(pattern);
    }
    int setPermissions(int fd, mode_t mode) override {
        return fail(Step::permissions) ? -1 : SaveSteps::setPermissions(fd, mode);
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        if (fail(Step::write))
            return -1;
        if (step_ == Step::partialWrite) {
            // Some bytes reach the disk, then it is full.
            if (writes_++ == 0)
                return SaveSteps::write(fd, data, size / 2);
            errno = error_;
            return -1;
        }
        if (step_ == Step::zeroWrite)
            return 0;
        return SaveSteps::write(fd, data, size);
    }
    int sync(int fd) override { return fail(Step::sync) ? -1 : SaveSteps::sync(fd); }
    int close(int fd) override {
        if (step_ == Step::close) {
            // Like a network file system: the descriptor is gone, but the write is reported lost.
            SaveSteps::close(fd);
            errno = error_;
            return -1;
        }
        return SaveSteps::close(fd);
    }
    int rename(const std::string& from, const std::string& to) override {
        return fail(Step::rename) ? -1 : SaveSteps::rename(from, to);
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
