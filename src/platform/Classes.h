#pragma once
// The component model: objects with a name that own other components and free
// them with themselves, and the string lists of the framework.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// How a text stands in its box. Fields and controls share the one type, so
// that a unit using both (a data grid) sees one definition.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TObject {
public:
    virtual ~TObject() = default;
};

// A component is owned by at most one owner, which destroys it. Components are
// kept in the order they were created; that order is the index order that
// callers walking Components() rely on.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return FName; }
    void SetName(std::string name) { FName = std::move(name); }
    TComponent* Owner() const { return FOwner; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents.at(index); }
    // The owned component of that name, compared without regard to case.
    TComponent* FindComponent(std::string_view name) const;

    // Called on every remaining component when one it may point to is about
    // to be destroyed, so that references can be dropped.
    virtual void Notification(TComponent* component, bool removing) {}
    // Called on every component a form owns when the form has finished
    // loading (its description has set everything), so that work deferred
    // while the settings arrived one by one is done once.
    virtual void Loaded() {}

private:
    void insertComponent(TComponent* c);
    void removeComponent(TComponent* c);

    std::string FName;
    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    bool FDestroying = false;
};

// Lines of text with the "name=value" reading of the framework: names are
// found without regard to case and the first match counts.
class TStrings {
public:
    virtual ~TStrings() = default;

    int Count() const { return static_cast<int>(FLines.size()); }
    const std::string& Strings(int index) const { return FLines.at(index); }
    void SetStrings(int index, std::string s) { FLines.at(index) = std::move(s); }
    int Add(std::string s);
    void Insert(int index, std::string s);
    void Delete(int index);
    void Clear() { FLines.clear(); }
    void Assign(const TStrings& other) { FLines = other.FLines; }
    int IndexOf(std::string_view s) const; // without regard to case

    // The part before the first "=", and the part after it.
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    int IndexOfName(std::string_view name) const;
    std::string Values(std::string_view name) const;
    // Rewrites the matching line as name=value (name spelled as given), appends
    // one when none matches, deletes the matching line when value is empty.
    void SetValues(std::string_view name, std::string_view value);

    // The lines joined, each ended by a line feed; setting splits on CR, LF
    // or CR LF.
    std::string Text() const;
    void SetText(std::string_view text);

    const std::vector<std::string>& Lines() const { return FLines; }

private:
    std::vector<std::string> FLines;
};

class TStringList : public TStrings {};
