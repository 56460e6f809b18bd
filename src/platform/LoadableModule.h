#pragma once

#include <filesystem>

#include "Result.h"

namespace pondel {

// A shared library loaded at run time, unloaded when the object goes. The
// window lives in one, so that the console command starts without loading
// the window toolkit.
class LoadableModule final {
public:
    // Every symbol is bound at once, so that a module that cannot run fails
    // here, with the loader's reason, rather than part way through.
    [[nodiscard]] static Result<LoadableModule> Open(const std::filesystem::path& path);

    LoadableModule(LoadableModule&& other) noexcept;
    LoadableModule& operator=(LoadableModule&& other) noexcept;
    LoadableModule(const LoadableModule&) = delete;
    LoadableModule& operator=(const LoadableModule&) = delete;
    ~LoadableModule();

    // The address of an exported function; an error naming the symbol and
    // the module when there is none.
    [[nodiscard]] Result<void*> Symbol(const char* name) const;

private:
    LoadableModule(void* handle, std::filesystem::path path) noexcept;

    void* handle_ = nullptr;
    std::filesystem::path path_;
};

} // namespace pondel
