// The person register seen as the chart session's PersonStore: the current
// record of a PersonTable takes the chart's fields and is posted once.
#pragma once

#include "session/person_store.h"

namespace zelvara {

class PersonTable;

class PersonTableStore final : public PersonStore {
public:
    explicit PersonTableStore(PersonTable& table) : table_(table) {}
    QString Unavailability() const override;
    bool WriteChartFields(const PersonChartFields& fields) override;

private:
    PersonTable& table_;
};

}  // namespace zelvara
