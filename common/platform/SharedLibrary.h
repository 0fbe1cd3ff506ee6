#pragma once
// Binds a shared library from a given path with dlopen at first use and resolves its
// operations by name. Missing library or operation: a clear message, never a crash.
#include "common/platform/FilePaths.h"

#include <QString>
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
    LibraryBinding(const std::string& dir, const char* fileName)
        : path_(paths::join(dir, fileName)), lib_(std::make_unique<SharedLibrary>(path_)) {}
    explicit LibraryBinding(const Table& table) : fn_(table), bound_(true) {}

    bool isBound() const { return bound_; }
    const Table& api() const { return fn_; }
    const std::string& path() const { return path_; }
    // Why binding failed, as the user is told; it names the file.
    const QString& errorText() const { return error_; }

protected:
    // each(table, op) calls op(table.slot, "exportedName") for every operation. On failure
    // errorText() is missingLibrary with %1 the file, or missingOperation with %1 the file
    // and %2 the first operation that is missing.
    template <typename Each>
    bool bindAll(Each&& each, const QString& missingLibrary, const QString& missingOperation) {
        if (bound_)
            return true;
        const QString file = QString::fromStdString(path_);
        if (!lib_ || !lib_->load()) {
            error_ = missingLibrary.arg(file);
            return false;
        }
        Table t{};
        const char* missing = nullptr;
        each(t, [this, &missing](auto& slot, const char* name) {
            slot = lib_->function<std::remove_reference_t<decltype(slot)>>(name);
            if (!slot && !missing)
                missing = name;
        });
        if (missing) {
            error_ = missingOperation.arg(file, QString::fromLatin1(missing));
            return false;
        }
        fn_ = t;
        bound_ = true;
        return true;
    }
    SharedLibrary* library() { return lib_.get(); }

private:
    std::string path_;
    std::unique_ptr<SharedLibrary> lib_;
    Table fn_{};
    bool bound_ = false;
    QString error_;
};

} // namespace cw
