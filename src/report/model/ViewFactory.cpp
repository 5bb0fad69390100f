#include "report/model/ViewFactory.h"

#include "report/model/EClassNotFound.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrLineView.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPictureView.h"
#include "report/model/RunState.h"
#include "report/model/TfrSubReportView.h"

namespace vaskel {

bool ViewFactory::RegisterAddIn(const QString& className, Constructor create)
{
    if (static_cast<int>(m_addIns.size()) >= kMaxAddIns || !create)
        return false;
    // The writer stores a view's own class name, so it must be the one it is registered under.
    const std::unique_ptr<TfrView> probe = create();
    if (!probe || probe->ClassName() != className)
        return false;
    for (const AddIn& a : m_addIns) {
        if (a.className == className)
            return false;
    }
    m_addIns.push_back(AddIn{className, std::move(create)});
    return true;
}

std::unique_ptr<TfrView> ViewFactory::CreateBuiltIn(quint8 typeCode)
{
    switch (typeCode) {
    case 0:
        return std::make_unique<TfrMemoView>();
    case 1:
        return std::make_unique<TfrPictureView>();
    case 2:
        return std::make_unique<TfrBandView>();
    case 3:
        return std::make_unique<TfrSubReportView>();
    case 4:
        return std::make_unique<TfrLineView>();
    default:
        return nullptr;
    }
}

std::unique_ptr<TfrView> ViewFactory::CreateView(
    quint8 typeCode, const QString& className, RunState& run)
{
    std::unique_ptr<TfrView> view = CreateBuiltIn(typeCode);
    if (typeCode == 10) {
        for (const AddIn& a : m_addIns) {
            if (a.className == className) {
                view = a.create();
                break;
            }
        }
        if (!view) {
            run.ErrorPending = true;
            run.ErrorText += className + QLatin1Char('\r');
            throw EClassNotFound(run.ErrorText);
        }
        view->TypeCode = 10;
    } else if (!view) {
        return nullptr;
    }
    view->SerialId = ++m_nextSerialId;
    return view;
}

} // namespace vaskel
