#include "LoadableModule.h"

#include <string>
#include <utility>

#include <dlfcn.h>

namespace pondel {
namespace {

// dlerror's text names the file and the reason; it is only valid until the
// next call, so it is copied at once.
std::string LoaderError()
{
    const char* text = ::dlerror();
    return text != nullptr ? std::string(text) : std::string("unknown reason");
}

} // namespace

LoadableModule::LoadableModule(void* handle, std::filesystem::path path) noexcept
    : handle_(handle)
    , path_(std::move(path))
{
}

Result<LoadableModule> LoadableModule::Open(const std::filesystem::path& path)
{
    // Local binding: the module's own copies of shared code never stand in
    // for the executable's, or the other way round.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return ErrorInfo{0, "Cannot load " + path.string() + ": " + LoaderError()};
    return LoadableModule(handle, path);
}

LoadableModule::LoadableModule(LoadableModule&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr))
    , path_(std::move(other.path_))
{
}

LoadableModule& LoadableModule::operator=(LoadableModule&& other) noexcept
{
    if (this != &other) {
        if (handle_ != nullptr)
            ::dlclose(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        path_ = std::move(other.path_);
    }
    return *this;
}

LoadableModule::~LoadableModule()
{
    if (handle_ != nullptr)
        ::dlclose(handle_);
}

Result<void*> LoadableModule::Symbol(const char* name) const
{
    ::dlerror();
    void* address = ::dlsym(handle_, name);
    if (address == nullptr)
        return ErrorInfo{0, path_.string() + " has no " + name + ": " + LoaderError()};
    return address;
}

} // namespace pondel
