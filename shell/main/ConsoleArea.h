#pragma once

#include <QWidget>
#include <array>

class CommandBoxWidget;
class ConsolePane;
class FileDialogService;
class LogPane;
class MessageBoxService;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QToolButton;
struct LanguageTexts;

// The main window's console: the monitor and command panes with their tabs, the find bar and
// the command box. What the user types is sent by whoever listens to sendRequested().
class ConsoleArea : public QWidget
{
    Q_OBJECT

public:
    ConsoleArea(const LanguageTexts &lang, MessageBoxService &messages, QWidget *parent = nullptr);

    ConsolePane &Tlog() { return *m_tlog; }
    ConsolePane &TlogC() { return *m_tlogC; }
    CommandBoxWidget &Tcmd() { return *m_tcmd; }

    // Ibut: 0 shows the monitor pane, 1 the command pane, 4 clears the pane on show.
    void Ibut_Click(int index);
    // The find bar opens, or closes when open; false once closed.
    bool toggleFind();
    void Ix_Click();
    void Cfind_Click();

    bool isPaneVisible(const LogPane &pane) const;
    void markPaneUnread(const LogPane &pane);
    // Colours as the settings keep them (0xBBGGRR).
    static void setPaneColours(ConsolePane &pane, quint32 fore, quint32 back);
    void applyLanguage();

    // SalvaLog: the pane on show, written where the user chooses.
    void saveVisiblePane(FileDialogService &files, const QString &initialFolder);

signals:
    void sendRequested();
    void findClosed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ConsolePane *visiblePane() const;
    QLayout *buildTabs();
    QWidget *buildFindBar();

    const LanguageTexts &m_lang;
    MessageBoxService &m_messages;
    std::array<QToolButton *, 2> m_tabs{};
    QLabel *m_lmon = nullptr;
    QLabel *m_lcom = nullptr;
    QStackedWidget *m_panes = nullptr;
    ConsolePane *m_tlog = nullptr;
    ConsolePane *m_tlogC = nullptr;
    QWidget *m_pfind = nullptr;
    QLineEdit *m_tfind = nullptr;
    QPushButton *m_cfind = nullptr;
    CommandBoxWidget *m_tcmd = nullptr;
    QToolButton *m_isend = nullptr;
    QToolButton *m_clear = nullptr;
    QToolButton *m_ix = nullptr;
};
