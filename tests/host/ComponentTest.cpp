// Components: ownership and destruction order, names, notifications, state switches and the
// published-property tables they inherit.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/classes/Classes.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {
namespace {

using Log = std::vector<std::string>;

// Writes what happens to it into a shared log: notifications received and its own end.
class Probe : public TComponent {
public:
    Probe(TComponent* AOwner, const std::string& AName, Log* ALog = nullptr)
        : TComponent(AOwner), FLog(ALog) {
        SetName(AName);
    }
    ~Probe() override {
        if (FLog)
            FLog->push_back("destroy " + GetName());
    }
    using TComponent::Notification;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        if (FLog)
            FLog->push_back(GetName() + (Operation == opInsert ? " +" : " -") +
                            AComponent->GetName() +
                            (AComponent->InState(csDestroying) ? " (dying)" : ""));
        TComponent::Notification(AComponent, Operation);
    }

private:
    Log* FLog;
};

TEST(ComponentOwnership, OwnerFreesItsComponentsLastInsertedFirst) {
    Log log;
    {
        Probe owner(nullptr, "Owner");
        new Probe(&owner, "A", &log);
        auto* b = new Probe(&owner, "B", &log);
        new Probe(&owner, "C", &log);
        // Freed by its own owner, which lets go of it.
        new Probe(b, "B1", &log);
        ASSERT_EQ(owner.GetComponentCount(), 3);
        EXPECT_EQ(owner.GetComponent(0)->GetName(), "A");
        EXPECT_EQ(owner.GetComponent(2)->GetName(), "C");
        EXPECT_EQ(owner.FindComponent("b"), b);
        EXPECT_EQ(owner.FindComponent("B1"), nullptr);
        EXPECT_EQ(b->GetOwner(), &owner);
        log.clear(); // the insertion notices
    }
    EXPECT_EQ(log, (Log{"destroy C", "destroy B", "destroy B1", "destroy A"}));
}

TEST(ComponentOwnership, ComponentsMoveBetweenOwnersAndLeaveWhenFreed) {
    Probe first(nullptr, "First");
    Probe second(nullptr, "Second");
    auto* c = new Probe(&first, "C");
    second.InsertComponent(c);
    EXPECT_EQ(c->GetOwner(), &second);
    EXPECT_EQ(first.GetComponentCount(), 0);
    EXPECT_EQ(second.GetComponentCount(), 1);
    delete c;
    EXPECT_EQ(second.GetComponentCount(), 0);
    EXPECT_THROW(second.GetComponent(0), EListError);
    EXPECT_THROW(second.GetComponent(-1), EListError);

    // Freeing the owned components leaves the owner itself whole.
    new Probe(&first, "X");
    new Probe(&first, "Y");
    first.DestroyComponents();
    EXPECT_EQ(first.GetComponentCount(), 0);
    EXPECT_EQ(first.GetName(), "First");
}

TEST(ComponentNames, InvalidOrDuplicateNamesAreRefused) {
    Probe owner(nullptr, "Owner");
    Probe a(nullptr, "");
    owner.InsertComponent(&a);
    for (const char* bad : {"1abc", "a b", "a-b", "a.b", " a", "\xE4x", "x\xE4"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(a.SetName(bad), EComponentError);
        EXPECT_EQ(a.GetName(), "");
    }
    for (const char* good : {"_", "a1", "Barcode_1", "X"})
        EXPECT_NO_THROW(a.SetName(good)) << good;

    a.SetName("Barcode1");
    auto* b = new Probe(&owner, "Barcode2");
    // Names compare without regard to case.
    EXPECT_THROW(b->SetName("barcode1"), EComponentError);
    EXPECT_EQ(b->GetName(), "Barcode2");
    // A component may change the case of its own name.
    a.SetName("BARCODE1");
    EXPECT_EQ(owner.FindComponent("barcode1"), &a);
    // A renamed component frees its old name.
    a.SetName("Renamed");
    EXPECT_NO_THROW(b->SetName("Barcode1"));
    EXPECT_EQ(owner.FindComponent("renamed"), &a);
    // Empty names never clash.
    a.SetName("");
    b->SetName("");
    EXPECT_EQ(owner.FindComponent(""), nullptr);

    // Without an owner nothing clashes; moving into an owner that has the name is refused and
    // leaves the component where it was.
    b->SetName("Taken");
    Probe other(nullptr, "Other");
    auto* stray = new Probe(&other, "TAKEN");
    EXPECT_THROW(owner.InsertComponent(stray), EComponentError);
    EXPECT_EQ(stray->GetOwner(), &other);
    owner.RemoveComponent(&a);
}

TEST(ComponentNotifications, FreeNotificationsReachEveryoneWhoAsked) {
    Log log;
    auto target = std::make_unique<Probe>(nullptr, "Target", &log);
    Probe w1(nullptr, "W1", &log);
    Probe w2(nullptr, "W2", &log);
    Probe gone(nullptr, "Gone", &log);
    target->FreeNotification(&w1);
    target->FreeNotification(&w2);
    target->FreeNotification(&w2); // asking twice is telling once
    target->FreeNotification(&gone);
    target->RemoveFreeNotification(&gone);
    target.reset();
    // The destructor's own line comes first: the notices go out from the component's base.
    EXPECT_EQ(log, (Log{"destroy Target", "W2 -Target (dying)", "W1 -Target (dying)"}));

    // Both sides remember each other: whichever goes first, the other is not left pointing at
    // it (the sanitizer build would see a dangling call).
    log.clear();
    {
        auto asker = std::make_unique<Probe>(nullptr, "Asker", &log);
        Probe asked(nullptr, "Asked", &log);
        asked.FreeNotification(asker.get());
        asker.reset();
        EXPECT_EQ(log, (Log{"destroy Asker", "Asked -Asker (dying)"}));
    }
    EXPECT_EQ(log.back(), "destroy Asked");
}

TEST(ComponentNotifications, OwnerTellsItsComponentsOfInsertionsAndRemovals) {
    Log log;
    Probe owner(nullptr, "Owner", &log);
    new Probe(&owner, "Watcher", &log);
    log.clear();

    // The component itself keeps no log: only what the owner and its other components hear.
    auto* c = new Probe(nullptr, "C");
    owner.InsertComponent(c);
    Probe elsewhere(nullptr, "Elsewhere");
    elsewhere.InsertComponent(c);
    owner.InsertComponent(c);
    delete c;
    EXPECT_EQ(log, (Log{"Owner +C", "Watcher +C", "Owner -C", "Watcher -C", "Owner +C",
                        "Watcher +C", "Owner -C (dying)", "Watcher -C (dying)"}));
}

// Frees another component when told that a given one goes.
class Freer : public Probe {
public:
    Freer(TComponent* AOwner, const std::string& AName, Log* ALog) : Probe(AOwner, AName, ALog) {}
    TComponent* Victim = nullptr;
    std::string When;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        Probe::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent->GetName() == When && Victim)
            delete std::exchange(Victim, nullptr);
    }
};

TEST(ComponentNotifications, OnesFreedOnTheWayAreNotTold) {
    // The owned components hear in their order; one freed by another while the owner tells
    // them is skipped, the rest are told once each.
    Log log;
    Probe owner(nullptr, "Owner", &log);
    new Probe(&owner, "A", &log);
    auto* freer = new Freer(&owner, "F", &log);
    auto* b = new Probe(&owner, "B", &log);
    new Probe(&owner, "D", &log);
    freer->Victim = b;
    freer->When = "X";
    auto* x = new Probe(&owner, "X");
    log.clear();

    delete x;
    EXPECT_EQ(log, (Log{"Owner -X (dying)", "A -X (dying)", "F -X (dying)", "destroy B",
                        "Owner -B (dying)", "A -B (dying)", "F -B (dying)", "D -B (dying)",
                        "D -X (dying)"}));
    EXPECT_EQ(owner.GetComponentCount(), 3);
}

TEST(ComponentDestruction, NotificationsComeFirstThenOwnedComponentsThenTheOwnerLetsGo) {
    Log log;
    Probe root(nullptr, "Root", &log);
    auto* parent = new Probe(&root, "Parent", &log);
    new Probe(parent, "Child1", &log);
    new Probe(parent, "Child2", &log);
    Probe outside(nullptr, "Outside", &log);
    parent->FreeNotification(&outside);
    log.clear();

    delete parent;
    EXPECT_EQ(log, (Log{"destroy Parent", "Outside -Parent (dying)", "destroy Child2",
                        "destroy Child1", "Root -Parent (dying)"}));
    EXPECT_EQ(root.GetComponentCount(), 0);
}

TEST(ComponentState, LoadingAndDesigningSwitches) {
    Probe owner(nullptr, "Owner");
    auto* c = new Probe(&owner, "C");
    EXPECT_TRUE(c->GetComponentState().Empty());
    c->SetLoading(true);
    EXPECT_TRUE(c->InState(csLoading));
    // Loaded is what ends the loading phase.
    c->Loaded();
    EXPECT_FALSE(c->InState(csLoading));

    owner.SetDesigning(true);
    EXPECT_TRUE(c->InState(csDesigning));
    // A component created in a designer's form is in the designer as well.
    auto* later = new Probe(&owner, "Later");
    EXPECT_TRUE(later->InState(csDesigning));
    owner.SetDesigning(false, false);
    EXPECT_FALSE(owner.InState(csDesigning));
    EXPECT_TRUE(c->InState(csDesigning));
}

TEST(ComponentProperties, NameAndTagComeFirstAndNameIsNeverWritten) {
    Probe c(nullptr, "C");
    const auto props = TComponent::StaticClassInfo().Properties();
    ASSERT_EQ(props.size(), 2u);
    EXPECT_EQ(props[0]->Name, "Name");
    EXPECT_FALSE(props[0]->Stored(c));
    EXPECT_EQ(props[1]->Name, "Tag");
    EXPECT_EQ(props[1]->Default, 0);
    props[1]->SetOrd(c, -7);
    EXPECT_EQ(c.GetTag(), -7);
    props[0]->SetStr(c, "Renamed");
    EXPECT_EQ(c.GetName(), "Renamed");
    EXPECT_THROW(props[0]->SetStr(c, "9"), EComponentError);
}

} // namespace
} // namespace vcl
