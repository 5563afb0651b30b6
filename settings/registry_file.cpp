#include "settings/registry_file.h"

#include "framework/exceptions.h"
#include "settings/registry_text.h"
#include "settings/safe_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velkor {

namespace {

TRegistryWarningHandler &WarningHandler()
{
    static TRegistryWarningHandler handler;
    return handler;
}

void Warn(const std::string &message)
{
    RegistryWarning(message);
}

std::filesystem::path HomeFolder()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::filesystem::path AsideName(const std::filesystem::path &path)
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::gmtime_r(&now, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &parts);
    std::filesystem::path aside = path;
    aside += std::string(".damaged-") + stamp;
    std::filesystem::path candidate = aside;
    for (int i = 1; std::filesystem::exists(candidate); ++i) {
        candidate = aside;
        candidate += '-';
        candidate += std::to_string(i);
    }
    return candidate;
}

void MoveAside(const std::filesystem::path &path, const std::string &reason)
{
    const std::filesystem::path aside = AsideName(path);
    if (::rename(path.c_str(), aside.c_str()) == 0)
        Warn(path.string() + " is damaged (" + reason + "); moved to " + aside.string() +
             ", defaults apply");
    else
        Warn(path.string() + " is damaged (" + reason + ") and could not be moved aside (" +
             std::strerror(errno) + "); defaults apply");
}

TRegKey LoadLocked(const std::filesystem::path &path)
{
    std::string text;
    try {
        if (!ReadWholeFile(path, text))
            return {};
        return ParseRegistryText(text);
    } catch (const Exception &error) {
        MoveAside(path, error.Message());
        return {};
    }
}

} // namespace

std::filesystem::path RegistryFilePath()
{
    std::filesystem::path config;
    if (const char *xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        config = xdg;
    else
        config = HomeFolder() / ".config";
    return config / "velkor" / "registry.txt";
}

std::filesystem::path RegistryFilePath(std::string_view root)
{
    std::filesystem::path path = RegistryFilePath();
    if (!root.empty())
        path.replace_filename("registry-" + std::string(root) + ".txt");
    return path;
}

void SetRegistryWarningHandler(TRegistryWarningHandler handler)
{
    WarningHandler() = std::move(handler);
}

void RegistryWarning(std::string_view message)
{
    if (const TRegistryWarningHandler &handler = WarningHandler())
        handler(message);
    else
        std::fprintf(stderr, "velkor-registry: %.*s\n", static_cast<int>(message.size()),
                     message.data());
}

TRegistryFile::TRegistryFile(std::filesystem::path path)
    : path_(std::move(path))
{
}

TRegKey TRegistryFile::Read() const
{
    try {
        MakePrivateFolder(path_.parent_path());
        const TFileLock lock(path_);
        return LoadLocked(path_);
    } catch (const EOSError &error) {
        // Somewhere we may not write, the stored values can still be read.
        Warn(error.Message());
        std::string text;
        try {
            if (ReadWholeFile(path_, text))
                return ParseRegistryText(text);
        } catch (const Exception &failure) {
            Warn(path_.string() + ": " + failure.Message() + "; defaults apply");
        }
        return {};
    }
}

bool TRegistryFile::Update(const std::function<bool(TRegKey &root)> &change) const
{
    MakePrivateFolder(path_.parent_path());
    const TFileLock lock(path_);
    TRegKey root = LoadLocked(path_);
    if (!change(root))
        return false;
    ReplaceFile(path_, FormatRegistryText(root));
    return true;
}

} // namespace velkor
