#include "report/model/TfrViewFactory.h"

#include "report/model/EClassNotFound.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrLineView.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPictureView.h"
#include "report/model/TfrRunState.h"
#include "report/model/TfrSubReportView.h"

namespace vaskel {

bool TfrViewFactory::RegisterAddIn(const QString& className, Constructor create)
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

std::unique_ptr<TfrView> TfrViewFactory::CreateView(
    quint8 typeCode, const QString& className, TfrRunState& run)
{
    std::unique_ptr<TfrView> view;
    switch (typeCode) {
    case 0:
        view = std::make_unique<TfrMemoView>();
        break;
    case 1:
        view = std::make_unique<TfrPictureView>();
        break;
    case 2:
        view = std::make_unique<TfrBandView>();
        break;
    case 3:
        view = std::make_unique<TfrSubReportView>();
        break;
    case 4:
        view = std::make_unique<TfrLineView>();
        break;
    case 10: {
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
        break;
    }
    default:
        return nullptr;
    }
    view->SerialId = ++m_nextSerialId;
    return view;
}

} // namespace vaskel
