#pragma once
// Binds a shared library from a given path with dlopen at first use and resolves its
// operations by name. Missing library or operation: a clear message, never a crash.
#include <string>

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

} // namespace cw
