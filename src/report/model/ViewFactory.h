#pragma once
// Creates views from the type codes of object records: 0 memo, 1 picture, 2 band, 3 sub-report,
// 4 line, and 10 for add-in classes named by their class name. Add-in classes are looked up in the
// registry (at most 64 entries); this system registers none, so every type-10 record is reported
// as missing: the class name is collected in the run state's `ErrorText` and EClassNotFound is
// raised, which the template reader catches per object. Other codes create nothing.
//
// Every created view gets the next `SerialId` from the factory's counter.
#include "report/model/TfrView.h"

#include <functional>
#include <memory>
#include <vector>

namespace vaskel {

struct RunState;

class ViewFactory {
public:
    static constexpr int kMaxAddIns = 64;
    using Constructor = std::function<std::unique_ptr<TfrView>()>;

    // Registers an add-in view class under its class name (the name its ClassName() returns);
    // false when the registry is full, the name is taken or differs from the class's own.
    bool RegisterAddIn(const QString& className, Constructor create);

    // A new view of one of the built-in type codes 0 to 4; null for any other code. No serial id.
    static std::unique_ptr<TfrView> CreateBuiltIn(quint8 typeCode);

    // Null for codes that create nothing; throws EClassNotFound for unregistered add-in names.
    std::unique_ptr<TfrView> CreateView(quint8 typeCode, const QString& className, RunState& run);

private:
    struct AddIn {
        QString className;
        Constructor create;
    };
    std::vector<AddIn> m_addIns;
    qint32 m_nextSerialId = 0;
};

} // namespace vaskel
