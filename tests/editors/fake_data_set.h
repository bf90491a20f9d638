// A data set that records the actions asked of it and reports the states a
// test sets.
#pragma once

#include "editors/navi_data_set.h"

#include <QStringList>

class FakeDataSet final : public zelvara::NaviDataSet {
public:
    bool active = true, bof = false, eof = false, empty = false, canModify = true, editing = false;
    QStringList calls;

    void Changed() { emit stateChanged(); }

    bool IsActive() const override { return active; }
    bool IsBof() const override { return bof; }
    bool IsEof() const override { return eof; }
    bool IsEmpty() const override { return empty; }
    bool CanModify() const override { return canModify; }
    bool IsEditing() const override { return editing; }
    void First() override { calls << QStringLiteral("First"); }
    void Prior() override { calls << QStringLiteral("Prior"); }
    void Next() override { calls << QStringLiteral("Next"); }
    void Last() override { calls << QStringLiteral("Last"); }
    void Insert() override { calls << QStringLiteral("Insert"); }
    void Delete() override { calls << QStringLiteral("Delete"); }
    void Edit() override { calls << QStringLiteral("Edit"); }
    void Post() override { calls << QStringLiteral("Post"); }
    void Cancel() override { calls << QStringLiteral("Cancel"); }
    void Refresh() override { calls << QStringLiteral("Refresh"); }
};
