#include "platform/Classes.h"

#include "platform/SysUtils.h"

#include <algorithm>
#include <cassert>

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->insertComponent(this);
}

TComponent::~TComponent() {
    FDestroying = true;
    // Last created goes first, so that a component never outlives one it was
    // built on.
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        FComponents.pop_back();
        c->FOwner = nullptr;
        for (TComponent* other : FComponents) other->Notification(c, true);
        delete c;
    }
    if (FOwner) FOwner->removeComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->Name(), name)) return c;
    return nullptr;
}

void TComponent::insertComponent(TComponent* c) {
    assert(c->FOwner == nullptr);
    c->FOwner = this;
    FComponents.push_back(c);
}

void TComponent::removeComponent(TComponent* c) {
    auto it = std::find(FComponents.begin(), FComponents.end(), c);
    if (it != FComponents.end()) FComponents.erase(it);
    c->FOwner = nullptr;
    if (!FDestroying)
        for (TComponent* other : FComponents) other->Notification(c, true);
}

int TStrings::Add(std::string s) {
    FLines.push_back(std::move(s));
    return Count() - 1;
}

void TStrings::Insert(int index, std::string s) {
    FLines.insert(FLines.begin() + index, std::move(s));
}

void TStrings::Delete(int index) { FLines.erase(FLines.begin() + index); }

int TStrings::IndexOf(std::string_view s) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(FLines[i], s)) return i;
    return -1;
}

std::string TStrings::Names(int index) const {
    const std::string& line = FLines.at(index);
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int index) const {
    const std::string& line = FLines.at(index);
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

int TStrings::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& line = FLines[i];
        size_t eq = line.find('=');
        if (eq != std::string::npos && SameText(std::string_view(line).substr(0, eq), name))
            return i;
    }
    return -1;
}

std::string TStrings::Values(std::string_view name) const {
    int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(std::string_view name, std::string_view value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    std::string line = std::string(name) + "=" + std::string(value);
    if (i < 0) Add(std::move(line));
    else FLines[i] = std::move(line);
}

std::string TStrings::Text() const {
    std::string out;
    for (const std::string& l : FLines) {
        out += l;
        out += '\n';
    }
    return out;
}

void TStrings::SetText(std::string_view text) {
    FLines.clear();
    size_t i = 0;
    while (i < text.size()) {
        size_t j = i;
        while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
        FLines.emplace_back(text.substr(i, j - i));
        if (j < text.size() && text[j] == '\r') ++j;
        if (j < text.size() && text[j] == '\n') ++j;
        i = j;
    }
}
