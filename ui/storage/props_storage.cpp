#include "ui/storage/props_storage.h"

#include "framework/text.h"
#include "ui/error_log.h"
#include "ui/text_codec.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QObject>
#include <QVariant>

#include <charconv>
#include <optional>

namespace velkor {

namespace {

enum class Kind { kNone, kInteger, kInt64, kChar, kEnumeration, kSet, kString, kFloat };

Kind KindOf(const QMetaProperty &property)
{
    if (!property.isValid())
        return Kind::kNone;
    if (property.isFlagType())
        return Kind::kSet;
    if (property.isEnumType())
        return Kind::kEnumeration;
    switch (property.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
        return Kind::kInteger;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
        return Kind::kInt64;
    case QMetaType::QChar:
    case QMetaType::Char:
        return Kind::kChar;
    case QMetaType::Bool:
        return Kind::kEnumeration; // False and True, as the framework names them
    case QMetaType::QString:
        return Kind::kString;
    case QMetaType::Double:
    case QMetaType::Float:
        return Kind::kFloat;
    default:
        return Kind::kNone;
    }
}

QMetaProperty FindProperty(const QObject &object, std::string_view name)
{
    const QMetaObject *meta = object.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.isReadable() && property.isWritable() && SameText(property.name(), name))
            return property;
    }
    return {};
}

// The property of that name and its kind; kNone when there is none to keep.
Kind Lookup(const QObject *object, std::string_view name, QMetaProperty &property)
{
    if (!object)
        return Kind::kNone;
    property = FindProperty(*object, name);
    return KindOf(property);
}

std::optional<long long> ParseInt64(std::string_view text)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string BoolName(bool value)
{
    return value ? "True" : "False";
}

} // namespace

TPropsStorage::TPropsStorage(std::string section, TReadString read, TWriteString write,
                             TEraseSection erase)
    : section_(std::move(section))
    , read_(std::move(read))
    , write_(std::move(write))
    , erase_(std::move(erase))
{
}

std::string TPropsStorage::DeclaredName(const QMetaProperty &property)
{
    std::string name = property.name();
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z')
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

std::string TPropsStorage::PropertyText(const QObject &object, const QMetaProperty &property)
{
    const QVariant value = property.read(&object);
    switch (KindOf(property)) {
    case Kind::kInteger:
    case Kind::kInt64:
        return std::to_string(value.toLongLong());
    case Kind::kChar: {
        const QChar ch = value.toChar();
        return ch.isNull() ? std::string() : Utf8Bytes(QString(ch));
    }
    case Kind::kEnumeration:
        if (property.metaType().id() == QMetaType::Bool)
            return BoolName(value.toBool());
        if (const char *key = property.enumerator().valueToKey(value.toInt()))
            return key;
        return {};
    case Kind::kSet: {
        std::string text(1, '[');
        text += property.enumerator().valueToKeys(value.toInt()).replace('|', ',').toStdString();
        text += ']';
        return text;
    }
    case Kind::kString:
        return Utf8Bytes(value.toString());
    case Kind::kFloat:
        return QString::number(value.toDouble(), 'g', 17).toStdString();
    case Kind::kNone:
        break;
    }
    return {};
}

bool TPropsStorage::SetPropertyText(QObject &object, const QMetaProperty &property,
                                    std::string_view text)
{
    switch (KindOf(property)) {
    case Kind::kInteger: {
        std::int32_t number = 0;
        if (!TryStrToInt(text, number))
            number = 0;
        return property.write(&object, number);
    }
    case Kind::kInt64:
        return property.write(&object, ParseInt64(text).value_or(0));
    case Kind::kChar: {
        const QString chars = Utf8Text(text);
        return property.write(&object, chars.isEmpty() ? QChar() : chars.front());
    }
    case Kind::kEnumeration: {
        if (property.metaType().id() == QMetaType::Bool) {
            for (bool value : {false, true})
                if (SameText(BoolName(value), text))
                    return property.write(&object, value);
            return false;
        }
        const QMetaEnum enumerator = property.enumerator();
        for (int i = 0; i < enumerator.keyCount(); ++i)
            if (SameText(enumerator.key(i), text))
                return property.write(&object, enumerator.value(i));
        return false; // no such name: the property keeps its value
    }
    case Kind::kSet: {
        std::string keys = Trim(text);
        if (keys.size() < 2 || keys.front() != '[' || keys.back() != ']')
            return false;
        keys = keys.substr(1, keys.size() - 2);
        for (char &c : keys)
            if (c == ',')
                c = '|';
        bool ok = false;
        const int value = property.enumerator().keysToValue(keys.c_str(), &ok);
        return ok && property.write(&object, value);
    }
    case Kind::kString:
        return property.write(&object, Utf8Text(text));
    case Kind::kFloat: {
        bool ok = false;
        const double value = Utf8Text(text).toDouble(&ok);
        return ok && property.write(&object, value);
    }
    case Kind::kNone:
        break;
    }
    return false;
}

void TPropsStorage::StoreProperty(std::string_view name)
{
    QMetaProperty property;
    const Kind kind = Lookup(object_, name, property);
    if (kind == Kind::kNone)
        return;
    const std::string text = Trim(PropertyText(*object_, property));
    if (text.empty() && kind != Kind::kString && kind != Kind::kChar)
        return;
    write_(section_, prefix_ + DeclaredName(property), text);
}

void TPropsStorage::LoadProperty(std::string_view name)
{
    QMetaProperty property;
    const Kind kind = Lookup(object_, name, property);
    if (kind == Kind::kNone)
        return;
    const std::string defaultText = PropertyText(*object_, property);
    std::string text;
    if (!defaultText.empty() || kind == Kind::kString || kind == Kind::kChar)
        text = Trim(read_(section_, prefix_ + DeclaredName(property), defaultText));
    SetPropertyText(*object_, property, text);
}

void TPropsStorage::StoreObjectsProps(const std::vector<TStoredProp> &props)
{
    for (const TStoredProp &prop : props) {
        if (!prop.component)
            continue;
        SetObject(prop.component);
        SetPrefix(prop.component->objectName().toStdString() + "_");
        StoreProperty(prop.property);
    }
}

void TPropsStorage::LoadObjectsProps(const std::vector<TStoredProp> &props)
{
    for (const TStoredProp &prop : props) {
        if (!prop.component)
            continue;
        SetObject(prop.component);
        SetPrefix(prop.component->objectName().toStdString() + "_");
        try {
            LoadProperty(prop.property);
        } catch (const std::exception &error) {
            // A value that cannot be read leaves the property as it is; the rest still load.
            std::string doing = "Restoring ";
            doing += prop.component->objectName().toStdString();
            doing += '.';
            doing += prop.property;
            LogIgnoredError(doing, error);
        }
    }
}

void TPropsStorage::EraseSection()
{
    if (erase_)
        erase_(section_);
}

} // namespace velkor
