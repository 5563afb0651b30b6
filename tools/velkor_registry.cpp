// velkor-registry: looks at and changes the current user's registry from the shell.
#include "framework/exceptions.h"
#include "framework/text.h"
#include "settings/registry.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUsage =
    "usage: velkor-registry COMMAND [ARGUMENTS]\n"
    "  list KEY                 subkeys (ending in \\) and values of KEY\n"
    "  read KEY NAME            a value's data (strings as text, dwords in decimal,\n"
    "                           other types in hexadecimal)\n"
    "  write KEY NAME TEXT      stores TEXT as a string value, creating KEY\n"
    "  write-dword KEY NAME N   stores N as a 32-bit number value\n"
    "  delete-value KEY NAME    removes one value\n"
    "  delete-key KEY           removes KEY with all its subkeys\n"
    "  offer-path PATH          stores PATH as the connection dialog's database path\n"
    "                           unless one is stored already\n"
    "KEY levels are separated by backslashes only; \"/\" is part of a name. A KEY has at\n"
    "most 64 levels of at most 255 bytes, 1024 bytes in all.\n"
    "list and read never change the store: a damaged one is reported (exit code 1) and left\n"
    "as it is; the next command that writes keeps it aside and starts afresh.\n";

constexpr std::string_view kPanelKey = "\\/SOFTWARE/Trelvan\\ControlPanel";
constexpr std::string_view kPathValue = "DatabasePathEdit_Text";

std::string Absolute(std::string_view key)
{
    return key.starts_with('\\') ? std::string(key) : "\\" + std::string(key);
}

std::string Hex(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (char c : bytes) {
        text += digits[static_cast<unsigned char>(c) >> 4];
        text += digits[static_cast<unsigned char>(c) & 0x0F];
    }
    return text;
}

int Fail(const std::string &message)
{
    std::cerr << "velkor-registry: " << message << '\n';
    return 1;
}

int List(velkor::TRegistry &registry, std::string_view key)
{
    if (!registry.OpenKeyReadOnly(Absolute(key)))
        return Fail("no key " + std::string(key));
    for (const std::string &name : registry.GetKeyNames())
        std::cout << name << "\\\n";
    for (const std::string &name : registry.GetValueNames())
        std::cout << name << '\n';
    return 0;
}

int Read(velkor::TRegistry &registry, std::string_view key, std::string_view name)
{
    velkor::TRegDataInfo info;
    if (!registry.OpenKeyReadOnly(Absolute(key)) || !registry.GetDataInfo(name, info))
        return Fail("no value " + std::string(name) + " in " + std::string(key));
    switch (info.RegData) {
    case velkor::TRegDataType::rdString:
    case velkor::TRegDataType::rdExpandString:
        std::cout << registry.ReadString(name) << '\n';
        break;
    case velkor::TRegDataType::rdInteger:
        std::cout << registry.ReadInteger(name) << '\n';
        break;
    default:
        std::cout << Hex(registry.ReadBinaryData(name)) << '\n';
        break;
    }
    return 0;
}

int OpenForWriting(velkor::TRegistry &registry, std::string_view key)
{
    return registry.OpenKey(Absolute(key), true) ? 0
                                                 : Fail("cannot create key " + std::string(key));
}

int Run(const std::vector<std::string_view> &args)
{
    velkor::TRegistry registry;
    const std::string_view command = args.empty() ? std::string_view() : args[0];
    if (command == "list" && args.size() == 2)
        return List(registry, args[1]);
    if (command == "read" && args.size() == 3)
        return Read(registry, args[1], args[2]);
    if (command == "write" && args.size() == 4) {
        if (const int failed = OpenForWriting(registry, args[1]))
            return failed;
        registry.WriteString(args[2], args[3]);
        return 0;
    }
    if (command == "write-dword" && args.size() == 4) {
        const std::int32_t number = velkor::StrToInt(args[3]);
        if (const int failed = OpenForWriting(registry, args[1]))
            return failed;
        registry.WriteInteger(args[2], number);
        return 0;
    }
    if (command == "delete-value" && args.size() == 3) {
        if (!registry.OpenKey(Absolute(args[1]), false) || !registry.DeleteValue(args[2]))
            return Fail("no value " + std::string(args[2]) + " in " + std::string(args[1]));
        return 0;
    }
    if (command == "delete-key" && args.size() == 2) {
        if (!registry.DeleteKey(Absolute(args[1])))
            return Fail("no key " + std::string(args[1]));
        return 0;
    }
    if (command == "offer-path" && args.size() == 2) {
        if (registry.OpenKeyReadOnly(kPanelKey) && registry.ValueExists(kPathValue))
            return 0;
        if (const int failed = OpenForWriting(registry, kPanelKey))
            return failed;
        registry.WriteString(kPathValue, args[1]);
        return 0;
    }
    std::cerr << kUsage;
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        return Run(args);
    } catch (const velkor::Exception &error) {
        return Fail(error.Message());
    }
}
