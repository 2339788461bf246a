// Data sources and data links: how a dataset's events reach the controls that show its fields.
#include "host/db/DB.h"
#include "host/db/DBLineDataSet.h"

#include <algorithm>

namespace vcl {

// ---- data sources ----

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
    // A destructor cannot pass on what a control's handler raises.
    try {
        SetDataSet(nullptr);
    } catch (...) {
    }
    if (FDataSet) {
        std::erase(FDataSet->FDataSources, this);
        FDataSet = nullptr;
    }
    while (!FDataLinks.empty()) {
        TDataLink* link = FDataLinks.back();
        FDataLinks.pop_back();
        link->FDataSource = nullptr;
        try {
            link->UpdateState();
        } catch (...) {
        }
    }
}

void TDataSource::SetDataSet(TDataSet* Value) {
    if (Value == FDataSet)
        return;
    // Detach before telling anyone, so that a handler that raises leaves no half-linked state.
    if (FDataSet) {
        std::erase(FDataSet->FDataSources, this);
        FDataSet->RemoveFreeNotification(this);
    }
    FDataSet = Value;
    if (Value) {
        Value->FDataSources.push_back(this);
        Value->FreeNotification(this);
    }
    DataEvent(deUpdateState, nullptr);
}

void TDataSource::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    DataEvent(deUpdateState, nullptr);
}

TDataSetState TDataSource::GetState() const {
    return FEnabled && FDataSet ? FDataSet->GetState() : dsInactive;
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FDataSet)
        SetDataSet(nullptr);
}

void TDataSource::DataEvent(TDataEvent Event, const TField* Info) {
    // A change of state reaches every link, so that each can tell whether it is active.
    if (Event != deUpdateState && GetState() == dsInactive)
        return;
    const std::vector<TDataLink*> links = FDataLinks;
    for (TDataLink* link : links)
        if (std::find(FDataLinks.begin(), FDataLinks.end(), link) != FDataLinks.end())
            link->DataEvent(Event, Info);
}

// ---- data links ----

TDataLink::~TDataLink() {
    if (FDataSource)
        std::erase(FDataSource->FDataLinks, this);
}

TDataSet* TDataLink::GetDataSet() const {
    return FDataSource ? FDataSource->GetDataSet() : nullptr;
}

void TDataLink::SetDataSource(TDataSource* Value) {
    if (Value == FDataSource)
        return;
    if (FDataSourceFixed)
        throw EDatabaseError("DataSource cannot be changed");
    if (FDataSource)
        std::erase(FDataSource->FDataLinks, this);
    FDataSource = Value;
    if (Value)
        Value->FDataLinks.push_back(this);
    UpdateState();
}

void TDataLink::UpdateState() {
    const TDataSetState state = FDataSource ? FDataSource->GetState() : dsInactive;
    const bool active = state != dsInactive;
    const bool editing = state == dsEdit || state == dsInsert;
    if (active != FActive) {
        FActive = active;
        ActiveChanged();
    }
    if (editing != FEditing) {
        FEditing = editing;
        EditingChanged();
    }
}

void TDataLink::DataEvent(TDataEvent Event, const TField* Info) {
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!FActive)
        return;
    switch (Event) {
    case deFieldChange:
    case deRecordChange:
        RecordChanged(Info);
        break;
    case deDataSetChange:
        DataSetChanged();
        break;
    case deDataSetScroll:
        DataSetScrolled(0);
        break;
    case deLayoutChange:
        LayoutChanged();
        break;
    case deUpdateState:
        break;
    }
}

bool TDataLink::ExecuteAction(TBasicAction& Action) {
    TDataSet* d = GetDataSet();
    return d && Action.HandlesTarget(d) && Action.ExecuteTarget(*d);
}

bool TDataLink::UpdateAction(TBasicAction& Action) {
    TDataSet* d = GetDataSet();
    return d && Action.HandlesTarget(d) && Action.UpdateTarget(*d);
}

// ---- field data links ----

void TFieldDataLink::SetFieldName(const std::string& Value) {
    if (Value == FFieldName)
        return;
    FFieldName = Value;
    UpdateField();
}

bool TFieldDataLink::UpdateField() {
    TDataSet* d = GetDataSet();
    TField* f = GetActive() && d && !FFieldName.empty() ? d->FindField(FFieldName) : nullptr;
    if (f == FField)
        return false;
    FField = f;
    DataChange();
    return true;
}

void TFieldDataLink::DataChange() {
    if (TDataSet* d = GetDataSet(); d && d->ControlsDisabled()) {
        // Told once, by EnableControls.
        d->FMissedChange = true;
        return;
    }
    if (OnDataChange)
        OnDataChange(*this);
}

void TFieldDataLink::ActiveChanged() {
    if (!UpdateField())
        DataChange();
}

// Edit, Post and Cancel each follow their change of state with a record or dataset event, which
// reports the change once; the state alone has nothing more to show.
void TFieldDataLink::EditingChanged() {}

void TFieldDataLink::LayoutChanged() {
    if (!UpdateField())
        DataChange();
}

void TFieldDataLink::RecordChanged(const TField* Field) {
    if (!Field || Field == FField)
        DataChange();
}

// ---- published properties and registration ----

const TTypeInfo& DataSetType() {
    static const TTypeInfo t{
        TTypeKind::Component, "TDataSet", {}, {}, &TDataSet::StaticClassInfo()};
    return t;
}

const TTypeInfo& DataSourceType() {
    static const TTypeInfo t{
        TTypeKind::Component, "TDataSource", {}, {}, &TDataSource::StaticClassInfo()};
    return t;
}

const TClassInfo& TDataSource::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TDataSource", &TComponent::StaticClassInfo(), &CreateComponent<TDataSource>);
        c.Reference<TDataSource, TDataSet>("DataSet", DataSetType(), &TDataSource::GetDataSet,
                                           &TDataSource::SetDataSet);
        c.Ordinal<TDataSource, bool>("Enabled", BooleanType(), &TDataSource::GetEnabled,
                                     &TDataSource::SetEnabled)
            .Default = 1;
        return c;
    }();
    return info;
}

void RegisterDBClasses() {
    RegisterClass(TDataSource::StaticClassInfo());
    RegisterClass(TSQLiteQuery::StaticClassInfo());
    RegisterClass(TCSVDataSet::StaticClassInfo());
    RegisterClass(TLineDataSet::StaticClassInfo());
}

} // namespace vcl
