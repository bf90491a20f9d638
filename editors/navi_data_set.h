// What a navigator bar needs of the table it is bound to: where the current
// record stands, whether it may be changed, and the ten actions.
#pragma once

#include <QObject>

namespace zelvara {

class NaviDataSet : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool IsActive() const = 0;  // open
    virtual bool IsBof() const = 0;     // on the first record (or none)
    virtual bool IsEof() const = 0;     // on the last record (or none)
    virtual bool IsEmpty() const = 0;
    virtual bool CanModify() const = 0;
    virtual bool IsEditing() const = 0;  // the current record has pending edits

    virtual void First() = 0;
    virtual void Prior() = 0;
    virtual void Next() = 0;
    virtual void Last() = 0;
    virtual void Insert() = 0;
    virtual void Delete() = 0;
    virtual void Edit() = 0;
    virtual void Post() = 0;
    virtual void Cancel() = 0;
    virtual void Refresh() = 0;

signals:
    // Any of the states above may have changed.
    void stateChanged();
};

}  // namespace zelvara
