#include "ui/storage/form_storage.h"

#include "framework/text.h"
#include "ui/error_log.h"
#include "ui/text_codec.h"

#include <QObject>
#include <QWidget>

#include <optional>

namespace velkor {

namespace {

// "Component.Property", both halves trimmed and not empty.
std::optional<std::pair<std::string, std::string>> SplitEntry(std::string_view entry)
{
    const auto dot = entry.find('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    std::string component = Trim(entry.substr(0, dot));
    std::string property = Trim(entry.substr(dot + 1));
    if (component.empty() || property.empty())
        return std::nullopt;
    return std::make_pair(std::move(component), std::move(property));
}

} // namespace

TFormStorage::TFormStorage(TComponent *owner, QWidget *form)
    : TFormPlacement(owner, form)
{
}

TFormStorage::~TFormStorage()
{
    if (Owner() && Owner()->Destroying())
        FormDestroy();
}

void TFormStorage::Loaded()
{
    TFormPlacement::Loaded();
    ResolveStoredProps();
}

void TFormStorage::ResolveStoredProps()
{
    components_.clear();
    watcher_ = std::make_unique<QObject>(); // forgets the components watched so far
    QWidget *form = Form();
    for (int i = storedProps_.Count(); i-- > 0;) {
        const auto entry = SplitEntry(storedProps_[i]);
        QObject *component =
            entry && form ? form->findChild<QObject *>(Utf8Text(entry->first)) : nullptr;
        if (!component) {
            storedProps_.Delete(i);
            continue;
        }
        components_.insert(components_.begin(), component);
        // By the time destroyed is sent, the component's guard already reads null.
        QObject::connect(component, &QObject::destroyed, watcher_.get(),
                         [this] { DropGoneComponents(); });
    }
}

void TFormStorage::DropGoneComponents()
{
    for (int i = storedProps_.Count(); i-- > 0;)
        if (static_cast<std::size_t>(i) < components_.size() &&
            !components_[static_cast<std::size_t>(i)]) {
            storedProps_.Delete(i);
            components_.erase(components_.begin() + i);
        }
}

std::vector<TStoredProp> TFormStorage::RebuildStoredProps()
{
    if (components_.size() != static_cast<std::size_t>(storedProps_.Count()))
        ResolveStoredProps(); // the list was changed since it was resolved
    std::vector<TStoredProp> props;
    for (int i = storedProps_.Count(); i-- > 0;) {
        const auto entry = SplitEntry(storedProps_[i]);
        QObject *component = components_[static_cast<std::size_t>(i)];
        if (!entry || !component) {
            storedProps_.Delete(i);
            components_.erase(components_.begin() + i);
            continue;
        }
        storedProps_.Put(i, Utf8Bytes(component->objectName()) + "." + entry->second);
        props.insert(props.begin(), {component, entry->second});
    }
    return props;
}

TPropsStorage TFormStorage::MakePropsStorage(TCustomIniFile &ini)
{
    return TPropsStorage(
        Section(),
        [&ini](std::string_view section, std::string_view ident, std::string_view defaultValue) {
            return ini.ReadString(section, ident, defaultValue);
        },
        [&ini](std::string_view section, std::string_view ident, std::string_view value) {
            ini.WriteString(section, ident, value);
        },
        [&ini](std::string_view section) { ini.EraseSection(section); });
}

void TFormStorage::StoreProperties(TCustomIniFile &ini)
{
    MakePropsStorage(ini).StoreObjectsProps(RebuildStoredProps());
}

void TFormStorage::LoadProperties(TCustomIniFile &ini)
{
    try {
        MakePropsStorage(ini).LoadObjectsProps(RebuildStoredProps());
    } catch (const std::exception &error) {
        // Stored properties are a convenience: the window opens with its own values instead.
        LogIgnoredError("Restoring the stored properties", error);
    }
}

void TFormStorage::StorePlacementValues(TCustomIniFile &ini)
{
    TFormPlacement::StorePlacementValues(ini);
    StoreProperties(ini);
    const std::string section = Section();
    storedValues_.SaveValues([&](std::string_view name, std::string_view text) {
        ini.WriteString(section, name, text);
    });
}

void TFormStorage::LoadPlacementValues(TCustomIniFile &ini)
{
    TFormPlacement::LoadPlacementValues(ini);
    SetRestored();
    LoadProperties(ini);
    const std::string section = Section();
    storedValues_.RestoreValues([&](std::string_view name, std::string_view defaultText) {
        return ini.ReadString(section, name, defaultText);
    });
}

} // namespace velkor
