#include "artwork/WindowDrops.h"

#include "artwork/DropProcessing.h"
#include "artwork/FormConfirmDrop.h"
#include "artwork/OleDnd.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/TrackDetailsView.h"
#include "mainwindow/UcProgress.h"
#include "support/AppData.h"

#include <QAbstractScrollArea>
#include <QDialog>
#include <QDropEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

constexpr int MainWindowDropDelayMs = 10;
constexpr int AboutBoxDropDelayMs = 100;

// Routes the drag events of every watched control to one decoder.
class DropRouter : public QObject {
public:
    DropRouter(OleDnd& decoder, QString acceptTag, QTimer& timer, QObject* parent)
        : QObject(parent), m_decoder(decoder), m_acceptTag(std::move(acceptTag)), m_timer(timer) {}

    void watch(QWidget* widget) {
        widget->setAcceptDrops(true);
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            answer(drag, m_decoder.OleDragOver(drag->mimeData(), m_acceptTag));
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            bool startTimer = false;
            answer(drop, m_decoder.OleDrop(drop->mimeData(), m_acceptTag, &startTimer));
            if (startTimer)
                m_timer.start();
            return true;
        }
        default:
            return false;
        }
    }

private:
    static void answer(QDropEvent* event, int effect) {
        if (effect == EffectNone) {
            event->ignore();
            return;
        }
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }

    OleDnd& m_decoder;
    QString m_acceptTag;
    QTimer& m_timer;
};

// The confirmation dialogs, shown beside the window.
class WindowConfirmation : public DropConfirmation {
public:
    WindowConfirmation(mainwindow::FormMain& window, mainwindow::ModalRunner& runner)
        : m_window(window), m_runner(runner) {}

    int ConfirmNewFolderJpg(const QString& droppedImage) override {
        FormConfirmIneligible dialog(&m_window);
        mainwindow::FormMain::PlaceDialog(&m_window, &dialog);
        dialog.Start(droppedImage);
        return ask(dialog);
    }
    int ConfirmReplace(const QString& location, const QString& droppedImage,
                       const QString& existingFolderJpg) override {
        FormConfirmReplace dialog(&m_window);
        mainwindow::FormMain::PlaceDialog(&m_window, &dialog);
        dialog.Start(location, droppedImage, existingFolderJpg);
        return ask(dialog);
    }

private:
    int ask(FormConfirmDrop& dialog) {
        if (dialog.Result == ConfirmImageUnreadable)
            return ConfirmImageUnreadable;
        m_runner.runModal(dialog);
        return dialog.Result == ConfirmYes ? ConfirmYes : ConfirmNo;
    }

    mainwindow::FormMain& m_window;
    mainwindow::ModalRunner& m_runner;
};

class WindowDrops : public QObject {
public:
    WindowDrops(mainwindow::FormMain& window, mainwindow::ModalRunner& runner)
        : QObject(&window), m_window(window), m_decoder(support::AppDataFolder()),
          m_confirmation(window, runner) {
        m_timer = new QTimer(this);
        m_timer->setObjectName(u"TimerDnd"_s);
        m_timer->setSingleShot(true);
        m_timer->setInterval(MainWindowDropDelayMs);
        connect(m_timer, &QTimer::timeout, this, &WindowDrops::tick);
        auto* router = new DropRouter(m_decoder, MainWindowDropTag, *m_timer, this);
        router->watch(&window);
        for (QWidget* control : std::initializer_list<QWidget*>{
                 window.ToolbarMain(), window.TabMain(), window.ListMain(0), window.ListMain(1),
                 window.ListMain(0)->viewport(), window.ListMain(1)->viewport(),
                 window.TrackDetailsMain()->widget(), window.ProgressMain()})
            router->watch(control);
        for (QWidget* child : window.TrackDetailsMain()->widget()->findChildren<QWidget*>())
            router->watch(child);
    }

    // The About box decodes drags as well, and takes none of them.
    void prepareAboutBox(QDialog& box) {
        auto* timer = new QTimer(&box);
        timer->setObjectName(u"TimerDnd"_s);
        timer->setSingleShot(true);
        timer->setInterval(AboutBoxDropDelayMs);
        auto* router = new DropRouter(m_aboutDecoder, AboutBoxDropTag, *timer, &box);
        router->watch(&box);
        for (QWidget* child : box.findChildren<QWidget*>())
            router->watch(child);
    }

private:
    void tick() {
        m_timer->stop();
        catalogue::RunEnvironment run{*m_window.ProgressMain(), m_window.ui(), &m_window.runView()};
        DropEnvironment environment{m_window.session(), run, m_confirmation, m_window.busy()};
        ProcessDrop(environment, m_decoder.DropFiles);
    }

    mainwindow::FormMain& m_window;
    OleDnd m_decoder;
    OleDnd m_aboutDecoder;
    WindowConfirmation m_confirmation;
    QTimer* m_timer = nullptr;
};

} // namespace

void InstallWindowDrops(mainwindow::FormMain& window, mainwindow::ModalRunner& runner) {
    auto* drops = new WindowDrops(window, runner);
    window.commands().prepareAboutBox = [drops](QDialog& box) { drops->prepareAboutBox(box); };
}

} // namespace artwork
