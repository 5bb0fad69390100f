// The preview window's commands, keyboard, mouse wheel, help mode and placement.
#include "report/preview/TfrPreviewForm.h"

#include "platform/PlatformError.h"
#include "platform/PlatformGlobals.h"
#include "platform/SettingsStore.h"
#include "report/engine/TfrEMFPages.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/StringTable.h"
#include "report/preview/HelpTopics.h"
#include "report/preview/TfrPBox.h"
#include "report/preview/TfrTBButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

namespace vaskel {

namespace {

// A toolbar command is reachable from the keyboard only where its button is: shown and enabled.
bool available(const QWidget* button)
{
    return !button->isHidden() && button->isEnabled();
}

QString reportFileFilter()
{
    return QCoreApplication::translate("vaskel", "Report file (*.frp)");
}

// The name a prepared report is saved under: the extension replaced by ".frp".
QString frpName(const QString& fileName)
{
    const QFileInfo info(fileName);
    const QString suffix = info.suffix();
    if (suffix.isEmpty())
        return fileName + QStringLiteral(".frp");
    return fileName.left(fileName.size() - suffix.size()) + QStringLiteral("frp");
}

// A placement that lies on one of the screens: never out of sight, never larger than the screen.
QRect onScreen(QRect r)
{
    QScreen* screen = QGuiApplication::screenAt(r.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return r;
    const QRect avail = screen->availableGeometry();
    const int w = qBound(100, r.width(), qMax(100, avail.width()));
    const int h = qBound(100, r.height(), qMax(100, avail.height()));
    const int x = qBound(avail.left(), r.left(), qMax(avail.left(), avail.right() + 1 - w));
    const int y = qBound(avail.top(), r.top(), qMax(avail.top(), avail.bottom() + 1 - h));
    return QRect(x, y, w, h);
}

} // namespace

QRect TfrPreviewForm::defaultPlacement(QSize least, bool large)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QRect(QPoint(0, 0), least);
    const QRect avail = screen->availableGeometry();
    const QSize size = large ? QSize(avail.width() * 4 / 5, avail.height() * 4 / 5).expandedTo(least) : least;
    return QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size.boundedTo(avail.size()), avail);
}

// ---- commands ---------------------------------------------------------------------------------

void TfrPreviewForm::ZoomBtnClick()
{
    ProcMenu->popup(ZoomBtn->mapToGlobal(QPoint(0, ZoomBtn->height())));
}

void TfrPreviewForm::LoadBtnClick()
{
    if (!OwnerReport || !HeldPages)
        return;
    const QString name = PlatformGlobals::get().ui().openFileName(
        LoadBtn->toolTip(), QFileInfo(suggestedFile(QString())).path(), reportFileFilter());
    if (name.isEmpty())
        return;
    rememberFolder(name);
    LoadFile(name);
}

void TfrPreviewForm::SaveBtnClick()
{
    if (!OwnerReport || !HeldPages)
        return;
    // The dialog adds the suffix itself, so that its overwrite question names the real file.
    const QString name = PlatformGlobals::get().ui().saveFileName(
        SaveBtn->toolTip(), suggestedFile(QStringLiteral("frp")), reportFileFilter(), QStringLiteral("frp"));
    if (name.isEmpty())
        return;
    rememberFolder(name);
    SaveFile(name);
}

bool TfrPreviewForm::LoadFile(const QString& fileName)
{
    if (!OwnerReport)
        return false;
    // Read into a store of its own: a file that cannot be read leaves the pages shown.
    auto fresh = std::make_unique<TfrEMFPages>(OwnerReport);
    try {
        fresh->LoadFromFile(fileName);
    } catch (const VaskelError& e) {
        PlatformGlobals::get().ui().showError(loadFailureText(fileName, e));
        return false;
    }
    HeldPages = std::move(fresh);
    // The caption names what is shown now, as it named the report before.
    setWindowTitle(LoadStr(StringTable::sPreview) + QStringLiteral(" - ") + QFileInfo(fileName).fileName());
    OwnerReport->Rebuildable = false;
    DisplayedPage = 1;
    Relayout();
    PaintEnabled = false;
    UpdatePageLabel();
    ScrollToCurrentPage();
    PaintEnabled = true;
    PageArea->update();
    return true;
}

QString TfrPreviewForm::loadFailureText(const QString& fileName, const VaskelError& error)
{
    // The platform's text first; then, for a damaged file, which file and where, as a developer
    // needs it to look at the file.
    if (error.detail().isEmpty())
        return error.message();
    QString first = error.message();
    if (!first.isEmpty() && first.back() > u'.')
        first += u'.';
    return first + u'\n' + QDir::toNativeSeparators(fileName) + QStringLiteral(": ") + error.detail();
}

bool TfrPreviewForm::SaveFile(const QString& fileName)
{
    if (!OwnerReport || !HeldPages)
        return false;
    const QString target = frpName(fileName);
    UiServices& ui = PlatformGlobals::get().ui();
    if (target != fileName && QFileInfo::exists(target)) {
        // The user confirmed (or typed) another name: replacing this file needs its own yes.
        const ModalResult answer = ui.messageBox(UiServices::applicationTitle(),
            QCoreApplication::translate("vaskel", "%1 already exists.\nDo you want to replace it?")
                .arg(target),
            MessageIcon::Warning, MessageButtons::YesNo);
        if (answer != ModalResult::Yes)
            return false;
    }
    ReleasePages();
    TfrReport& report = *OwnerReport;
    bool saved = true;
    try {
        report.SavePrepared(target);
    } catch (const VaskelError& e) {
        saved = false;
        ui.showError(e.message());
    }
    // The pages come back to the window whatever the save did.
    ConnectReport(report);
    return saved;
}

void TfrPreviewForm::ExitBtnClick()
{
    if (OwnerReport)
        close();
}

void TfrPreviewForm::PgUpClick()
{
    if (!HeldPages)
        return;
    if (DisplayedPage > 1)
        --DisplayedPage;
    UpdatePageLabel();
    ScrollToCurrentPage();
}

void TfrPreviewForm::PgDownClick()
{
    if (!HeldPages)
        return;
    if (DisplayedPage < HeldPages->Count())
        ++DisplayedPage;
    UpdatePageLabel();
    ScrollToCurrentPage();
}

void TfrPreviewForm::FindText()
{
    if (OwnerReport && HeldPages && OnFindText)
        OnFindText(*this);
}

void TfrPreviewForm::FindNext()
{
    if (OwnerReport && HeldPages && OnFindNext)
        OnFindNext(*this);
}

void TfrPreviewForm::Print()
{
    if (HeldPages && PrintBtn->isEnabled() && OnPrint)
        OnPrint(*this);
}

void TfrPreviewForm::PageSetup()
{
    if (HeldPages && PageSetupBtn->isEnabled() && OnPageSetup)
        OnPageSetup(*this);
}

// ---- keyboard and wheel -----------------------------------------------------------------------

bool TfrPreviewForm::handleKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (!HeldPages)
        return false;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const auto moveV = [this](int by) { VScrollBar->setValue(VScrollBar->value() + by); };
    const auto moveH = [this](int by) { HScrollBar->setValue(HScrollBar->value() + by); };
    const auto command = [&](QWidget* button, const std::function<void()>& action) {
        if (!ctrl)
            return false;
        if (available(button))
            guarded(action);
        return true;
    };
    switch (key) {
    case Qt::Key_Up:
        moveV(-kSmallStep);
        return true;
    case Qt::Key_Down:
        moveV(kSmallStep);
        return true;
    case Qt::Key_Left:
        moveH(-kSmallStep);
        return true;
    case Qt::Key_Right:
        moveH(kSmallStep);
        return true;
    case Qt::Key_PageUp:
        ctrl ? PgUpClick() : moveV(-kLargeStep);
        return true;
    case Qt::Key_PageDown:
        ctrl ? PgDownClick() : moveV(kLargeStep);
        return true;
    case Qt::Key_Space:
        ZoomBtnClick();
        return true;
    case Qt::Key_Escape:
        ExitBtnClick();
        return true;
    case Qt::Key_Home:
        if (!ctrl)
            return false;
        VScrollBar->setValue(0);
        return true;
    case Qt::Key_End:
        if (!ctrl)
            return false;
        DisplayedPage = HeldPages->Count();
        UpdatePageLabel();
        ScrollToCurrentPage();
        return true;
    case Qt::Key_F3:
        if (!ctrl && HasSearchText && HasSearchText())
            guarded([this] { FindNext(); });
        return true;
    case Qt::Key_O:
        return command(LoadBtn, [this] { LoadBtnClick(); });
    case Qt::Key_S:
        return command(SaveBtn, [this] { SaveBtnClick(); });
    case Qt::Key_F:
        return command(FindBtn, [this] { FindText(); });
    case Qt::Key_P:
        return command(PrintBtn, [this] { Print(); });
    default:
        return ctrl;
    }
}

void TfrPreviewForm::wheelSteps(int steps)
{
    VScrollBar->setValue(VScrollBar->value() - steps * kSmallStep * WheelFactor);
}

bool TfrPreviewForm::ownsWidget(const QWidget* w) const
{
    if (!w)
        return false;
    return w == this || isAncestorOf(w) || w == PreviewPanel || PreviewPanel->isAncestorOf(w) || w == TPanel
        || TPanel->isAncestorOf(w);
}

bool TfrPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (ownsWidget(w)) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_F1) {
                // The control under the pointer (or the nearest around it) names the topic;
                // where none does, the page area's topic shows.
                QWidget* target = PageArea;
                for (QWidget* c = QApplication::widgetAt(QCursor::pos()); c && ownsWidget(c) && c != this;
                     c = c->parentWidget()) {
                    if (c->property("helpContext").toInt() != 0) {
                        target = c;
                        break;
                    }
                }
                showHelpFor(target);
                return true;
            }
            return handleKey(key->key(), key->modifiers());
        }
        break;
    case QEvent::Wheel:
        if (ownsWidget(w) && HeldPages) {
            const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
            if (dy != 0)
                wheelSteps(dy > 0 ? 1 : -1);
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (m_helpMode && ownsWidget(w)) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            QWidget* hit = w->childAt(mouse->position().toPoint());
            m_helpMode = false;
            endHelpMode(hit ? hit->mapToGlobal(QPoint(0, 0)) : w->mapToGlobal(QPoint(0, 0)));
            // The deepest visible control under the pointer names the topic.
            QWidget* target = hit ? hit : w;
            if (target != HelpBtn)
                showHelpFor(target);
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- help mode --------------------------------------------------------------------------------

void TfrPreviewForm::HelpBtnClick()
{
    m_helpMode = true;
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    grabMouse();
    HelpBtn->update();
}

void TfrPreviewForm::showHelpFor(QWidget* control)
{
    const int context = control ? control->property("helpContext").toInt() : 0;
    if (context != 0)
        PlatformGlobals::get().ui().showHelp(
            context, HelpTopics::topic(HelpTopics::previewHelpFile(), context));
}

void TfrPreviewForm::endHelpMode(QPoint)
{
    releaseMouse();
    QApplication::restoreOverrideCursor();
}

// ---- window events ----------------------------------------------------------------------------

bool TfrPreviewForm::focusNextPrevChild(bool)
{
    return false; // Tab belongs to the key table, not to focus navigation
}

void TfrPreviewForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            qApp->setProperty("helpFile", HelpTopics::previewHelpFile());
            ScrollBox1->setFocus();
        } else {
            qApp->setProperty("helpFile", SavedHelpFile);
        }
    }
    QWidget::changeEvent(event);
}

void TfrPreviewForm::closeEvent(QCloseEvent* event)
{
    if (!qobject_cast<QMdiSubWindow*>(parentWidget()))
        savePlacement();
    event->accept();
    emit closed();
}

// ---- file dialogs -----------------------------------------------------------------------------

QString TfrPreviewForm::suggestedFile(const QString& suffix) const
{
    SettingsStore own;
    const SettingsStore& s = Settings ? *Settings : own;
    QString folder = s.value(settingsSection() + QStringLiteral("Folder")).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::currentPath();
    QString name;
    if (OwnerReport)
        name = OwnerReport->Title;
    if (name.isEmpty())
        name = FileNameHint;
    // A title may hold characters a file name cannot.
    static const QRegularExpression unsafe(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]"));
    name = name.trimmed().replace(unsafe, QStringLiteral("_"));
    if (name.isEmpty() || suffix.isEmpty())
        return QDir(folder).filePath(name);
    return QDir(folder).filePath(name + u'.' + suffix);
}

void TfrPreviewForm::rememberFolder(const QString& file)
{
    SettingsStore own;
    SettingsStore& s = Settings ? *Settings : own;
    s.setValue(settingsSection() + QStringLiteral("Folder"), QFileInfo(file).absolutePath());
    s.sync();
}

// ---- placement --------------------------------------------------------------------------------

void TfrPreviewForm::savePlacement()
{
    SettingsStore own;
    SettingsStore& s = Settings ? *Settings : own;
    const QString section = settingsSection();
    const QRect g = geometry();
    s.writeInteger(section + QStringLiteral("XPosition"), g.x());
    s.writeInteger(section + QStringLiteral("YPosition"), g.y());
    s.writeInteger(section + QStringLiteral("Width"), g.width());
    s.writeInteger(section + QStringLiteral("Height"), g.height());
    s.writeBool(section + QStringLiteral("Maximized"), isMaximized());
    s.sync();
}

void TfrPreviewForm::restorePlacement()
{
    if (qobject_cast<QMdiSubWindow*>(parentWidget()))
        return;
    SettingsStore own;
    SettingsStore& s = Settings ? *Settings : own;
    const QString section = settingsSection();
    const bool maximized = s.readBool(section + QStringLiteral("Maximized"), true);
    // Without a stored placement the window opens large and centred, so that a page is readable
    // also where it is not maximised (a window manager that ignores the state, or un-maximising).
    const QRect fallback = defaultPlacement(size());
    // Stored values are clamped before any rectangle is built of them: a damaged setting near
    // 2^31 would overflow its right edge and centre. No screen is a million pixels across.
    constexpr int kFar = 1000000;
    const auto stored = [&](const char* key, int otherwise, int least) {
        return qBound(least, s.readInteger(section + QLatin1String(key), otherwise), kFar);
    };
    const int w = stored("Width", fallback.width(), 0);
    const int h = stored("Height", fallback.height(), 0);
    const QRect centred = defaultPlacement(QSize(w, h), false);
    const int y = stored("YPosition", centred.y(), -kFar);
    const int x = stored("XPosition", centred.x(), -kFar);
    // A maximised window stored the screen's bounds: un-maximised, it takes the size it opens with
    // when nothing is stored, not the whole screen again.
    setGeometry(onScreen(maximized ? fallback : QRect(x, y, w, h)));
    setWindowState(
        maximized ? (windowState() | Qt::WindowMaximized) : (windowState() & ~Qt::WindowMaximized));
}

} // namespace vaskel
