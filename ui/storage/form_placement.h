#pragma once

#include "framework/component.h"
#include "settings/custom_ini_file.h"

#include <QFlags>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class QObject;
class QWidget;

namespace velkor {

enum class TPlacementOption { fpState = 0x1, fpPosition = 0x2, fpActiveControl = 0x4 };
Q_DECLARE_FLAGS(TPlacementOptions, TPlacementOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TPlacementOptions)

enum class TPlacementRegRoot {
    prCurrentUser,
    prLocalMachine,
    prCurrentConfig,
    prClassesRoot,
    prUsers,
    prDynData,
};

// Size and position limits of a window; 0 is no limit.
struct TWinMinMaxInfo
{
    int MaxPosLeft = 0;
    int MaxPosTop = 0;
    int MaxSizeHeight = 0;
    int MaxSizeWidth = 0;
    int MaxTrackHeight = 0;
    int MaxTrackWidth = 0;
    int MinTrackHeight = 0;
    int MinTrackWidth = 0;
    [[nodiscard]] bool DefaultMinMaxInfo() const noexcept { return *this == TWinMinMaxInfo{}; }
    friend bool operator==(const TWinMinMaxInfo &, const TWinMinMaxInfo &) = default;
};

// Another component told after every save and restore, with the storage still open.
class TIniLink
{
public:
    TIniLink() = default;
    TIniLink(const TIniLink &) = delete;
    TIniLink &operator=(const TIniLink &) = delete;
    virtual ~TIniLink() = default;
    virtual void SaveToIni(TCustomIniFile &ini, const std::string &section) = 0;
    virtual void LoadFromIni(TCustomIniFile &ini, const std::string &section) = 0;
};

// Remembers a window's placement between runs. It hooks the window's show, close and destroy
// itself: restored at every showing, saved when the window closes and, if that did not happen,
// when the window goes. It belongs to the window's component root, so the window going is the
// root going.
class TFormPlacement : public TComponent
{
public:
    TFormPlacement(TComponent *owner, QWidget *form);
    ~TFormPlacement() override;

    [[nodiscard]] bool Active() const noexcept { return active_; }
    void SetActive(bool active) noexcept { active_ = active; }
    [[nodiscard]] const std::string &IniFileName() const noexcept { return iniFileName_; }
    void SetIniFileName(std::string name) { iniFileName_ = std::move(name); }
    [[nodiscard]] const std::string &IniSection() const noexcept { return iniSection_; }
    void SetIniSection(std::string section) { iniSection_ = std::move(section); }
    [[nodiscard]] const TWinMinMaxInfo &MinMaxInfo() const noexcept { return minMaxInfo_; }
    void SetMinMaxInfo(const TWinMinMaxInfo &info);
    [[nodiscard]] TPlacementOptions Options() const noexcept { return options_; }
    void SetOptions(TPlacementOptions options) noexcept { options_ = options; }
    [[nodiscard]] bool PreventResize() const noexcept { return preventResize_; }
    void SetPreventResize(bool prevent);
    [[nodiscard]] TPlacementRegRoot RegistryRoot() const noexcept { return registryRoot_; }
    void SetRegistryRoot(TPlacementRegRoot root) noexcept { registryRoot_ = root; }
    [[nodiscard]] bool UseRegistry() const noexcept { return useRegistry_; }
    void SetUseRegistry(bool use) noexcept { useRegistry_ = use; }
    [[nodiscard]] int Version() const noexcept { return version_; }
    void SetVersion(int version) noexcept { version_ = version; }

    TNotifyEvent OnSavePlacement;
    TNotifyEvent OnRestorePlacement;

    [[nodiscard]] QWidget *Form() const noexcept { return form_; }
    [[nodiscard]] bool Saved() const noexcept { return saved_; }
    [[nodiscard]] bool Restored() const noexcept { return restored_; }
    // The section used: IniSection, or the window's class name.
    [[nodiscard]] std::string Section() const;

    void SaveFormState();
    void RestoreFormState();

    // Single values of the section; the storage is opened around the call unless a save or
    // restore holds it open.
    [[nodiscard]] virtual std::string ReadSectionString(const std::string &ident,
                                                        const std::string &defaultValue);
    virtual void WriteSectionString(const std::string &ident, const std::string &value);
    [[nodiscard]] int ReadSectionInteger(const std::string &ident, int defaultValue);
    void WriteSectionInteger(const std::string &ident, int value);

    void AddLink(TIniLink *link);
    void RemoveLink(TIniLink *link) noexcept;

protected:
    void Loaded() override;
    virtual void StorePlacementValues(TCustomIniFile &ini);
    virtual void LoadPlacementValues(TCustomIniFile &ini);
    void SetRestored() noexcept { restored_ = true; }
    [[nodiscard]] bool IsDestroying() const noexcept { return destroying_; }
    // The window is going: saves unless the close did. Derived destructors call it first so
    // that their own values are saved too.
    void FormDestroy();

private:
    class Hook;
    friend class Hook;

    void FormShow();
    void FormCloseQuery();
    [[nodiscard]] std::unique_ptr<TCustomIniFile> OpenStorage(bool forRestore);
    void UpdatePlacementHook();

    QPointer<QWidget> form_;
    std::unique_ptr<Hook> hook_;
    TCustomIniFile *ini_ = nullptr; // open for the length of one save or restore
    std::vector<TIniLink *> links_;
    bool active_ = true;
    std::string iniFileName_;
    std::string iniSection_;
    TWinMinMaxInfo minMaxInfo_;
    TPlacementOptions options_;
    bool preventResize_ = false;
    TPlacementRegRoot registryRoot_ = TPlacementRegRoot::prCurrentUser;
    bool useRegistry_ = false;
    int version_ = 0;
    bool saved_ = false;
    bool restored_ = false;
    bool destroying_ = false;
    bool destroyHandled_ = false;
};

} // namespace velkor
