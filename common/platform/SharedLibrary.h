#pragma once
// Binds a shared library from a given path with dlopen at first use and resolves its
// operations by name. Missing library or operation: a clear message, never a crash.
#include "common/platform/Paths.h"

#include <memory>
#include <string>
#include <type_traits>

namespace cw {

class SharedLibrary {
public:
    explicit SharedLibrary(std::string path) : path_(std::move(path)) {}
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads on first call; false with error() set when the file cannot be loaded.
    bool load();
    bool isLoaded() const { return handle_ != nullptr; }
    // The address of an exported symbol, or nullptr (error() set).
    void* symbol(const char* name);
    template <typename Fn> Fn function(const char* name) {
        return reinterpret_cast<Fn>(symbol(name));
    }
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }

private:
    std::string path_;
    void* handle_ = nullptr;
    std::string error_;
};

// A library found beside the program and bound as a table of operations, all resolved at
// once so that a missing one is known before any work starts. Table is a struct of
// function pointers; a ready-made table (a fake in tests) counts as bound.
template <typename Table> class LibraryBinding {
public:
    enum class Status { Bound, NotLoaded, MissingOperation };

    LibraryBinding(const std::string& dir, const char* fileName)
        : path_(paths::join(dir, fileName)), lib_(std::make_unique<SharedLibrary>(path_)) {}
    explicit LibraryBinding(const Table& table) : fn_(table), bound_(true) {}

    bool isBound() const { return bound_; }
    const Table& api() const { return fn_; }
    const std::string& path() const { return path_; }
    // The first operation that bindAll() could not resolve.
    const std::string& missingOperation() const { return missing_; }

protected:
    // each(table, op) calls op(table.slot, "exportedName") for every operation.
    template <typename Each> Status bindAll(Each&& each) {
        if (bound_)
            return Status::Bound;
        if (!lib_ || !lib_->load())
            return Status::NotLoaded;
        Table t{};
        missing_.clear();
        each(t, [this](auto& slot, const char* name) {
            slot = lib_->function<std::remove_reference_t<decltype(slot)>>(name);
            if (!slot && missing_.empty())
                missing_ = name;
        });
        if (!missing_.empty())
            return Status::MissingOperation;
        fn_ = t;
        bound_ = true;
        return Status::Bound;
    }
    SharedLibrary* library() { return lib_.get(); }

private:
    std::string path_;
    std::unique_ptr<SharedLibrary> lib_;
    Table fn_{};
    bool bound_ = false;
    std::string missing_;
};

} // namespace cw
