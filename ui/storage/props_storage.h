#pragma once

#include <QPointer>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QMetaProperty;
class QObject;

namespace velkor {

// One entry of a stored property list: the component and the name of one of its properties.
struct TStoredProp
{
    QPointer<QObject> component;
    std::string property;
};

// Saves or restores named properties of components for one save or one restore. A property's
// stored name is the prefix followed by its declared name: Qt's name with the first letter in
// upper case, so the text property of DatabasePathEdit is DatabasePathEdit_Text.
class TPropsStorage
{
public:
    using TReadString = std::function<std::string(std::string_view section, std::string_view ident,
                                                  std::string_view defaultValue)>;
    using TWriteString = std::function<void(std::string_view section, std::string_view ident,
                                            std::string_view value)>;
    using TEraseSection = std::function<void(std::string_view section)>;

    TPropsStorage(std::string section, TReadString read, TWriteString write,
                  TEraseSection erase = {});

    void SetObject(QObject *object) noexcept { object_ = object; }
    void SetPrefix(std::string prefix) { prefix_ = std::move(prefix); }

    // Each entry in list order, under its component's name followed by "_".
    void StoreObjectsProps(const std::vector<TStoredProp> &props);
    // An entry that fails to load keeps its value.
    void LoadObjectsProps(const std::vector<TStoredProp> &props);

    // Of the current object; a name it has no property for is skipped.
    void StoreProperty(std::string_view name);
    void LoadProperty(std::string_view name);

    void EraseSection();

    // The property's value as stored text, and back; empty and false for kinds not kept.
    [[nodiscard]] static std::string PropertyText(const QObject &object,
                                                  const QMetaProperty &property);
    static bool SetPropertyText(QObject &object, const QMetaProperty &property,
                                std::string_view text);
    [[nodiscard]] static std::string DeclaredName(const QMetaProperty &property);

private:
    std::string section_;
    TReadString read_;
    TWriteString write_;
    TEraseSection erase_;
    QObject *object_ = nullptr;
    std::string prefix_;
};

} // namespace velkor
