#include "app/window_module.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

// Set by the build: the module's file name and its folder relative to the installed program's.
#ifndef KOMA_WINDOW_MODULE_NAME
#define KOMA_WINDOW_MODULE_NAME "koma_windows.so"
#endif
#ifndef KOMA_WINDOW_MODULE_DIR
#define KOMA_WINDOW_MODULE_DIR "../lib/koma"
#endif

namespace koma {

std::vector<std::string> window_module_candidates(const std::string& program_path) {
    const std::filesystem::path folder = std::filesystem::path(program_path).parent_path();
    return {(folder / KOMA_WINDOW_MODULE_DIR / KOMA_WINDOW_MODULE_NAME).string(),
            (folder / KOMA_WINDOW_MODULE_NAME).string()};
}

std::string running_program_path(const char* argv0) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && !self.empty()) {
        return self.string();
    }
    return argv0 != nullptr ? std::string(argv0) : std::string();
}

std::expected<WindowMain, QString> load_window_module(const std::string& program_path) {
    const std::vector<std::string> candidates = window_module_candidates(program_path);
    for (const std::string& candidate : candidates) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(candidate, error)) {
            continue;
        }
        // RTLD_LOCAL: the module carries its own copy of the program's code; nothing of it
        // should stand in for what the command line already holds.
        void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            return std::unexpected(QStringLiteral("cannot load the windows: %1")
                                       .arg(QString::fromLocal8Bit(dlerror())));
        }
        void* entry = dlsym(module, kWindowMainSymbol);
        if (entry == nullptr) {
            return std::unexpected(
                QStringLiteral("cannot load the windows: %1 has no %2")
                    .arg(QString::fromStdString(candidate), QLatin1String(kWindowMainSymbol)));
        }
        return reinterpret_cast<WindowMain>(entry);
    }
    QStringList tried;
    for (const std::string& candidate : candidates) {
        tried << QString::fromStdString(candidate);
    }
    return std::unexpected(
        QStringLiteral("cannot load the windows: no %1 (looked for %2)")
            .arg(QLatin1String(KOMA_WINDOW_MODULE_NAME), tried.join(QLatin1String(", "))));
}

}  // namespace koma
