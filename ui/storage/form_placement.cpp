#include "ui/storage/form_placement.h"

#include "framework/text.h"
#include "settings/ini_file.h"
#include "settings/reg_ini_file.h"
#include "ui/error_box.h"
#include "ui/storage/window_placement.h"
#include "ui/text_codec.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QWidget>

#include <algorithm>

namespace velkor {

// Watches the window: the show event restores, closing saves. A dialog closes through done(),
// which the close event does not always show, so for dialogs its finished signal counts.
class TFormPlacement::Hook : public QObject
{
public:
    explicit Hook(TFormPlacement &placement)
        : placement_(placement)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != placement_.form_)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            closing_ = false;
            if (!event->spontaneous())
                placement_.FormShow();
            break;
        case QEvent::Close:
            closing_ = true;
            break;
        case QEvent::Hide:
            // The close was allowed: the window's own handler did not keep it open.
            if (closing_ && !qobject_cast<QDialog *>(watched)) {
                closing_ = false;
                placement_.FormCloseQuery();
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    TFormPlacement &placement_;
    bool closing_ = false;
};

namespace {

// Lends the open storage to the component's string reads and writes for one save or restore,
// and takes it back however that ends: the storage itself goes with the caller's scope.
class TLentStorage
{
public:
    TLentStorage(TCustomIniFile *&slot, TCustomIniFile &storage) noexcept
        : slot_(slot)
    {
        slot_ = &storage;
    }
    ~TLentStorage() { slot_ = nullptr; }
    TLentStorage(const TLentStorage &) = delete;
    TLentStorage &operator=(const TLentStorage &) = delete;

private:
    TCustomIniFile *&slot_;
};

std::string RootName(TPlacementRegRoot root)
{
    switch (root) {
    case TPlacementRegRoot::prCurrentUser:
        break;
    case TPlacementRegRoot::prLocalMachine:
        return "local-machine";
    case TPlacementRegRoot::prCurrentConfig:
        return "current-config";
    case TPlacementRegRoot::prClassesRoot:
        return "classes-root";
    case TPlacementRegRoot::prUsers:
        return "users";
    case TPlacementRegRoot::prDynData:
        return "dyn-data";
    }
    return {};
}

std::string ProgramName()
{
    QString name = QCoreApplication::applicationName();
    if (name.isEmpty())
        name = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    return Utf8Bytes(name);
}

} // namespace

TFormPlacement::TFormPlacement(TComponent *owner, QWidget *form)
    : TComponent(owner)
    , form_(form)
    , hook_(std::make_unique<Hook>(*this))
{
    if (form && form->isWindow())
        options_ = TPlacementOption::fpState | TPlacementOption::fpPosition;
}

TFormPlacement::~TFormPlacement()
{
    if (Owner() && Owner()->Destroying())
        FormDestroy();
    links_.clear();
    if (form_)
        form_->removeEventFilter(hook_.get());
}

void TFormPlacement::Loaded()
{
    TComponent::Loaded();
    if (!form_)
        return;
    form_->installEventFilter(hook_.get());
    if (auto *dialog = qobject_cast<QDialog *>(form_.data()))
        QObject::connect(dialog, &QDialog::finished, hook_.get(), [this] { FormCloseQuery(); });
    UpdatePlacementHook();
}

std::string TFormPlacement::Section() const
{
    if (!iniSection_.empty() || !form_)
        return iniSection_;
    std::string name = form_->metaObject()->className();
    if (const auto colon = name.rfind(':'); colon != std::string::npos)
        name.erase(0, colon + 1);
    return name;
}

void TFormPlacement::FormShow()
{
    if (active_)
        RunHandler(form_, [this] { RestoreFormState(); });
}

void TFormPlacement::FormCloseQuery()
{
    // A closed window may have given its native window back already; its QWindow stays.
    if (active_ && form_ && form_->isWindow() && form_->windowHandle())
        RunHandler(form_, [this] { SaveFormState(); });
}

void TFormPlacement::FormDestroy()
{
    if (destroyHandled_)
        return;
    destroyHandled_ = true;
    if (active_ && !saved_) {
        destroying_ = true;
        RunHandler(nullptr, [this] { SaveFormState(); });
        destroying_ = false;
    }
}

std::unique_ptr<TCustomIniFile> TFormPlacement::OpenStorage(bool forRestore)
{
    if (useRegistry_) {
        const std::string key = iniFileName_.empty() ? "Software\\" + ProgramName() : iniFileName_;
        // A restore reads a dozen values: one load of the file serves them all.
        const auto file = [forRestore](TRegistryFile plain) {
            return forRestore ? plain.Snapshot() : plain;
        };
        auto registry = std::make_unique<TRegIniFile>(key, file(TRegistryFile()));
        // The key is always opened under the current user's root; another root is then
        // looked in from its top, as the sections are found relative to it.
        if (registryRoot_ != TPlacementRegRoot::prCurrentUser)
            registry->SetRoot(file(TRegistryFile(RegistryFilePath(RootName(registryRoot_)))));
        return registry;
    }
    const std::string file =
        iniFileName_.empty()
            ? (RegistryFilePath().parent_path() / (ProgramName() + ".ini")).string()
            : iniFileName_;
    return std::make_unique<TIniFile>(file);
}

void TFormPlacement::SaveFormState()
{
    if (active_ && !restored_)
        return; // a window never shown never overwrites what is stored
    const std::unique_ptr<TCustomIniFile> storage = OpenStorage(false);
    const TLentStorage lent(ini_, *storage);
    storage->WriteInteger(Section(), "FormVersion", version_);
    StorePlacementValues(*storage);
    Fire(OnSavePlacement, this);
    saved_ = true;
}

void TFormPlacement::RestoreFormState()
{
    saved_ = false;
    {
        const std::unique_ptr<TCustomIniFile> storage = OpenStorage(true);
        if (auto *registry = dynamic_cast<TRegIniFile *>(storage.get()))
            registry->SetAccess(TRegAccess::raReadOnly);
        const TLentStorage lent(ini_, *storage);
        if (storage->ReadInteger(Section(), "FormVersion", 0) >= version_) {
            LoadPlacementValues(*storage);
            restored_ = true;
            Fire(OnRestorePlacement, this);
            if (options_.testFlag(TPlacementOption::fpActiveControl) && form_) {
                const QString name = Utf8Text(storage->ReadString(Section(), "ActiveControl", {}));
                auto *control = name.isEmpty() ? nullptr : form_->findChild<QWidget *>(name);
                if (control && control->focusPolicy() != Qt::NoFocus && control->isEnabled())
                    control->setFocus();
            }
        }
        // Shown and read without error, even when the stored layout was too old to use:
        // from now on the window's own state may be saved over it.
        restored_ = true;
    }
    if (form_ && minMaxInfo_.DefaultMinMaxInfo() && !preventResize_)
        SetMaximizedPosition(*form_, -FrameWidth(*form_), -FrameHeight(*form_));
}

void TFormPlacement::StorePlacementValues(TCustomIniFile &ini)
{
    const std::string section = Section();
    if (form_ && form_->isWindow()) {
        WriteFormPlacement(*form_, ini, section);
        if (options_.testFlag(TPlacementOption::fpActiveControl)) {
            const QWidget *focused = form_->focusWidget();
            if (focused && !focused->objectName().isEmpty())
                ini.WriteString(section, "ActiveControl", Utf8Bytes(focused->objectName()));
        }
        ini.WriteBool(section, "Visible", destroying_);
    }
    for (TIniLink *link : links_)
        link->SaveToIni(ini, section);
}

void TFormPlacement::LoadPlacementValues(TCustomIniFile &ini)
{
    const std::string section = Section();
    if (form_ && form_->isWindow())
        ReadFormPlacement(*form_, ini, section, options_.testFlag(TPlacementOption::fpPosition),
                          options_.testFlag(TPlacementOption::fpState));
    for (TIniLink *link : links_)
        link->LoadFromIni(ini, section);
}

std::string TFormPlacement::ReadSectionString(const std::string &ident,
                                              const std::string &defaultValue)
{
    if (ini_)
        return ini_->ReadString(Section(), ident, defaultValue);
    return OpenStorage(false)->ReadString(Section(), ident, defaultValue);
}

void TFormPlacement::WriteSectionString(const std::string &ident, const std::string &value)
{
    if (ini_)
        ini_->WriteString(Section(), ident, value);
    else
        OpenStorage(false)->WriteString(Section(), ident, value);
}

int TFormPlacement::ReadSectionInteger(const std::string &ident, int defaultValue)
{
    std::int32_t value = 0;
    return TryStrToInt(ReadSectionString(ident, {}), value) ? value : defaultValue;
}

void TFormPlacement::WriteSectionInteger(const std::string &ident, int value)
{
    WriteSectionString(ident, IntToStr(value));
}

void TFormPlacement::AddLink(TIniLink *link)
{
    if (link && std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void TFormPlacement::RemoveLink(TIniLink *link) noexcept
{
    std::erase(links_, link);
}

void TFormPlacement::SetMinMaxInfo(const TWinMinMaxInfo &info)
{
    minMaxInfo_ = info;
    UpdatePlacementHook();
}

void TFormPlacement::SetPreventResize(bool prevent)
{
    preventResize_ = prevent;
    UpdatePlacementHook();
}

// The windowing system takes size limits as widget properties rather than through a message,
// so they are set on the window whenever they change; nothing is touched while none is set.
void TFormPlacement::UpdatePlacementHook()
{
    if (!form_ || Loading())
        return;
    if (preventResize_) {
        form_->setFixedSize(form_->size());
        form_->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
        return;
    }
    const TWinMinMaxInfo &info = minMaxInfo_;
    if (info.MinTrackWidth || info.MinTrackHeight)
        form_->setMinimumSize(info.MinTrackWidth, info.MinTrackHeight);
    if (info.MaxTrackWidth || info.MaxTrackHeight)
        form_->setMaximumSize(info.MaxTrackWidth ? info.MaxTrackWidth : QWIDGETSIZE_MAX,
                              info.MaxTrackHeight ? info.MaxTrackHeight : QWIDGETSIZE_MAX);
}

} // namespace velkor
