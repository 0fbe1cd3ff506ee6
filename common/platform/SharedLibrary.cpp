#include "common/platform/SharedLibrary.h"

#include <dlfcn.h>

namespace cw {

SharedLibrary::~SharedLibrary() {
    if (handle_)
        ::dlclose(handle_);
}

bool SharedLibrary::load() {
    if (handle_)
        return true;
    // A bare name would make dlopen search the system's library path; we mean this file.
    std::string file = path_.find('/') == std::string::npos ? "./" + path_ : path_;
    ::dlerror();
    handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = ::dlerror();
        error_ = "Cannot load " + path_ + (why ? std::string(": ") + why : std::string());
        return false;
    }
    error_.clear();
    return true;
}

void* SharedLibrary::symbol(const char* name) {
    if (!name || !load())
        return nullptr;
    ::dlerror();
    void* addr = ::dlsym(handle_, name);
    if (!addr) {
        error_ = "The operation " + std::string(name) + " is missing from " + path_;
        return nullptr;
    }
    return addr;
}

} // namespace cw
