#include "shell/main/ConsoleArea.h"

#include "shell/main/CommandBoxWidget.h"
#include "shell/main/ConsolePane.h"
#include "shell/services/FileDialogService.h"
#include "engine/model/LanguageTexts.h"
#include "shell/main/LogSearch.h"
#include "engine/ports/MessageBoxService.h"
#include "engine/config/ProgramIdentity.h"
#include "engine/config/SafeFileWriter.h"
#include "shell/icons/ShellResources.h"
#include "shell/services/AccessibleRole.h"
#include "shell/services/VbColor.h"
#include "shell/services/WindowUtils.h"

#include <QApplication>
#include <QEvent>
#include <tuple>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr quint32 Grey = 0xC0C0C0;
constexpr quint32 Black = 0x000000;

void setLabelColour(QLabel *label, quint32 bgr)
{
    QPalette p = label->palette();
    const QPalette desktop = QApplication::palette(label);
    QColor colour = VbColor::toQColor(bgr);
    // Black and grey are drawn for a light window; a dark one takes its own text colours.
    if (WindowUtils::isDarkPalette(desktop) && bgr == Black)
        colour = desktop.color(QPalette::Active, QPalette::WindowText);
    else if (WindowUtils::isDarkPalette(desktop) && bgr == Grey)
        colour = desktop.color(QPalette::Disabled, QPalette::WindowText);
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

ConsoleArea::ConsoleArea(const LanguageTexts &lang, MessageBoxService &messages, QWidget *parent)
    : QWidget(parent), m_lang(lang), m_messages(messages)
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 4);
    v->setSpacing(4);
    v->addLayout(buildTabs());
    v->addWidget(buildFindBar());

    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_panes = new QStackedWidget(this);
    m_tlog = new ConsolePane(QStringLiteral("Tlog"), m_panes);
    m_tlogC = new ConsolePane(QStringLiteral("TlogC"), m_panes);
    m_tlog->setFont(mono);
    m_tlogC->setFont(mono);
    m_panes->addWidget(m_tlog);
    m_panes->addWidget(m_tlogC);
    v->addWidget(m_panes, 1);

    auto *cmd = new QHBoxLayout;
    m_tcmd = new CommandBoxWidget(this);
    m_tcmd->setFont(mono);
    m_isend = ShellResources::iconButton(this, "Isend", QStringLiteral("send"), 22);
    connect(m_tcmd, &CommandBoxWidget::sendRequested, this, &ConsoleArea::sendRequested);
    connect(m_isend, &QToolButton::clicked, this, &ConsoleArea::sendRequested);
    cmd->addWidget(m_tcmd, 1);
    cmd->addWidget(m_isend);
    v->addLayout(cmd);

    m_tabs[0]->setChecked(true);
    setLabelColour(m_lmon, Black);
    setLabelColour(m_lcom, Grey);
}

QLayout *ConsoleArea::buildTabs()
{
    auto *tabs = new QHBoxLayout;
    tabs->setSpacing(2);
    auto makeTab = [this, tabs](int index, QLabel *&caption, const char *name) {
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("Ibut%1").arg(index));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setFixedSize(14, 14);
        b->setStyleSheet(QStringLiteral("QToolButton { border: 1px solid #8a97a8; border-radius: 7px; background: #e2e8f0; }"
                                        "QToolButton:checked { background: #2d7dd2; border-color: #1d4f86; }"));
        connect(b, &QToolButton::clicked, this, [this, index] { Ibut_Click(index); });
        // The two round buttons choose the pane on show: a reader hears tabs, not check boxes.
        AccessibleRole::set(b, QAccessible::PageTab);
        caption = new QLabel(this);
        caption->setObjectName(QString::fromLatin1(name));
        caption->setCursor(Qt::PointingHandCursor);
        caption->installEventFilter(this);
        tabs->addWidget(b);
        tabs->addWidget(caption);
        tabs->addSpacing(14);
        m_tabs[size_t(index)] = b;
    };
    makeTab(0, m_lmon, "Lmon");
    makeTab(1, m_lcom, "Lcom");
    tabs->addStretch(1);
    m_clear = ShellResources::iconButton(this, "Ibut4", QStringLiteral("clear"), 18);
    connect(m_clear, &QToolButton::clicked, this, [this] { Ibut_Click(4); });
    tabs->addWidget(m_clear);
    return tabs;
}

QWidget *ConsoleArea::buildFindBar()
{
    m_pfind = new QWidget(this);
    m_pfind->setObjectName(QStringLiteral("Pfind"));
    auto *f = new QHBoxLayout(m_pfind);
    f->setContentsMargins(0, 0, 0, 0);
    m_tfind = new QLineEdit(m_pfind);
    m_tfind->setObjectName(QStringLiteral("Tfind"));
    m_cfind = new QPushButton(m_pfind);
    m_cfind->setObjectName(QStringLiteral("Cfind"));
    m_ix = new QToolButton(m_pfind);
    m_ix->setObjectName(QStringLiteral("Ix"));
    m_ix->setText(QStringLiteral("\u2715"));
    m_ix->setAutoRaise(true);
    f->addWidget(m_tfind, 1);
    f->addWidget(m_cfind);
    f->addWidget(m_ix);
    connect(m_tfind, &QLineEdit::returnPressed, this, [this] { Cfind_Click(); });
    connect(m_cfind, &QPushButton::clicked, this, [this] { Cfind_Click(); });
    connect(m_ix, &QToolButton::clicked, this, [this] { Ix_Click(); });
    m_pfind->hide();
    return m_pfind;
}

void ConsoleArea::applyLanguage()
{
    m_lcom->setText(m_lang.Lcom);
    m_lmon->setText(m_lang.Lmon);
    const QString find = m_lang.menu.value(QStringLiteral("Find")).remove(QLatin1Char('&'));
    m_cfind->setText(find);
    const auto text = [this](const char *key, const char *fallback) {
        return m_lang.t(QString::fromLatin1(key), QString::fromLatin1(fallback));
    };
    // What each control does, as a reader says it and a tool tip shows it.
    m_tabs[0]->setAccessibleName(m_lang.Lmon);
    m_tabs[1]->setAccessibleName(m_lang.Lcom);
    m_tlog->setAccessibleName(m_lang.Lmon);
    m_tlogC->setAccessibleName(m_lang.Lcom);
    m_tfind->setAccessibleName(find);
    for (const auto &[button, key, fallback] :
         {std::tuple<QToolButton *, const char *, const char *>{m_clear, "LogClear", "Clear the log"},
          {m_ix, "FindClose", "Close the find bar"},
          {m_isend, "SendFrame", "Send the frame"}}) {
        button->setAccessibleName(text(key, fallback));
        button->setToolTip(button->accessibleName());
    }
    m_tcmd->setAccessibleName(text("CmdBox", "Frame to send"));
}

ConsolePane *ConsoleArea::visiblePane() const { return static_cast<ConsolePane *>(m_panes->currentWidget()); }

bool ConsoleArea::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_lmon)
            Ibut_Click(0);
        else if (watched == m_lcom)
            Ibut_Click(1);
    }
    return QWidget::eventFilter(watched, event);
}

void ConsoleArea::Ibut_Click(int index)
{
    switch (index) {
    case 0:
    case 1: {
        ConsolePane *pane = index == 0 ? m_tlog : m_tlogC;
        if (m_panes->currentWidget() != pane) {
            m_panes->setCurrentWidget(pane);
            setLabelColour(index == 0 ? m_lcom : m_lmon, Grey);
        }
        setLabelColour(index == 0 ? m_lmon : m_lcom, Black);
        m_tabs[0]->setChecked(m_panes->currentWidget() == m_tlog);
        m_tabs[1]->setChecked(m_panes->currentWidget() == m_tlogC);
        break;
    }
    case 4:
        visiblePane()->clear();
        break;
    default:
        break;
    }
}

bool ConsoleArea::toggleFind()
{
    if (m_pfind->isVisible()) {
        Ix_Click();
        return false;
    }
    m_pfind->show();
    m_tlog->setCaretFollowsText(false);
    m_tlogC->setCaretFollowsText(false);
    m_tfind->setFocus();
    return true;
}

void ConsoleArea::Ix_Click()
{
    m_pfind->hide();
    m_tfind->clear();
    m_tlog->setCaretFollowsText(true);
    m_tlogC->setCaretFollowsText(true);
    emit findClosed();
}

// The monitor log is the one searched, whichever pane is on show.
void ConsoleArea::Cfind_Click()
{
    QTextCursor c = m_tlog->textCursor();
    const LogSearch::Result r = LogSearch::find(m_tlog->toPlainText(), c.selectionStart(),
                                                c.selectionEnd() - c.selectionStart(), m_tfind->text());
    switch (r.outcome) {
    case LogSearch::Outcome::Nothing:
        return;
    case LogSearch::Outcome::Found:
        c.setPosition(r.start);
        c.setPosition(r.start + r.length, QTextCursor::KeepAnchor);
        m_tlog->setTextCursor(c);
        m_tlog->setFocus();
        return;
    case LogSearch::Outcome::NotFound:
        c.setPosition(0);
        m_tlog->setTextCursor(c);
        m_messages.message(m_lang.t(QStringLiteral("nofound")), ProgramIdentity::Title);
        return;
    }
}

bool ConsoleArea::isPaneVisible(const LogPane &pane) const
{
    return static_cast<const LogPane *>(visiblePane()) == &pane;
}

void ConsoleArea::markPaneUnread(const LogPane &pane)
{
    // The hidden pane's caption stays grey: red would read as a failure, and the pane on
    // show is the only one whose caption is dark.
    if (&pane == static_cast<const LogPane *>(m_tlog) && !isPaneVisible(pane))
        setLabelColour(m_lmon, Grey);
    else if (&pane == static_cast<const LogPane *>(m_tlogC) && !isPaneVisible(pane))
        setLabelColour(m_lcom, Grey);
}

void ConsoleArea::setPaneColours(ConsolePane &pane, quint32 fore, quint32 back)
{
    QPalette p = pane.palette();
    p.setColor(QPalette::Text, VbColor::toQColor(fore));
    p.setColor(QPalette::Base, VbColor::toQColor(back));
    pane.setPalette(p);
}

void ConsoleArea::saveVisiblePane(FileDialogService &files, const QString &initialFolder)
{
    const bool monitor = visiblePane() == m_tlog;
    const QString caption = monitor ? m_lmon->text() : m_lcom->text();
    const QString title = (monitor ? QStringLiteral("File ") : QStringLiteral("File")) + caption;
    const QList<FileDialogService::Filter> filters{{m_lang.t(QStringLiteral("txtFile")), QStringLiteral("*.txt")},
                                                   {QStringLiteral("File log"), QStringLiteral("*.log")}};
    QString path = files.ApriSalvaFile(window(), FileDialogService::Mode::Save, title, caption, filters, initialFolder,
                                       QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    // A name typed without an extension is a text file, as the first filter offers.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    // The pane may have changed while the dialog was open: write what is visible now. The
    // old file is replaced only once the new one is whole on disk.
    SafeFileWriter file(path);
    if (!file.write((visiblePane()->text() + QStringLiteral("\r\n")).toUtf8()))
        m_messages.message(file.errorMessage(), ProgramIdentity::ExecutableName, MessageBoxService::Icon::Critical);
}
