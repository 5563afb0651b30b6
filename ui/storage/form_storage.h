#pragma once

#include "framework/string_list.h"
#include "ui/storage/form_placement.h"
#include "ui/storage/props_storage.h"
#include "ui/storage/stored_values.h"

#include <memory>
#include <vector>

namespace velkor {

// A form placement that also remembers named properties of the window's controls
// ("Component.Property" entries of StoredProps) and a list of stored values.
class TFormStorage : public TFormPlacement
{
public:
    TFormStorage(TComponent *owner, QWidget *form);
    ~TFormStorage() override;

    [[nodiscard]] TStringList &StoredProps() noexcept { return storedProps_; }
    [[nodiscard]] TStoredValues &StoredValues() noexcept { return storedValues_; }

    void StoreProperties(TCustomIniFile &ini);
    void LoadProperties(TCustomIniFile &ini);

protected:
    void Loaded() override;
    void StorePlacementValues(TCustomIniFile &ini) override;
    void LoadPlacementValues(TCustomIniFile &ini) override;

private:
    // Finds each entry's component among the window's children; drops entries that do not
    // split into two names or whose component is not there.
    void ResolveStoredProps();
    // Drops entries whose component has gone and writes the others with the component's
    // current name; the resolved list, in entry order.
    std::vector<TStoredProp> RebuildStoredProps();
    [[nodiscard]] TPropsStorage MakePropsStorage(TCustomIniFile &ini);

    TStringList storedProps_;
    // Drops the entries of components that have gone.
    void DropGoneComponents();

    std::vector<QPointer<QObject>> components_; // one for each entry of storedProps_
    std::unique_ptr<QObject> watcher_;          // hears of components going
    TStoredValues storedValues_;
};

} // namespace velkor
