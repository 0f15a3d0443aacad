#include "devices/floating/FrmRND.h"

#include "engine/model/InstallationModel.h"
#include "shell/services/WindowUtils.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int ClientWidth = 5460;   // twips
constexpr int ClientHeight = 5700;
constexpr int LastListedPoint = 99;

// "05 (L) Kitchen": the point, L for a light (type "1") and A for any other kind, the name.
QString entryText(int point, const Dispositivo &d)
{
    return QStringLiteral("%1 (%2) %3")
        .arg(point, 2, 10, QLatin1Char('0'))
        .arg(d.type == QLatin1String("1") ? QLatin1Char('L') : QLatin1Char('A'))
        .arg(d.name);
}

QLineEdit *timeField(const char *name, const QString &accessible)
{
    auto *field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(accessible);
    field->setMaxLength(2);
    field->setFixedWidth(34);
    field->setAlignment(Qt::AlignCenter);
    return field;
}

} // namespace

FrmRND::FrmRND(const InstallationModel &model, QWidget *parent) : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FrmRND"));
    const QString title = QStringLiteral("Automazioni Random");
    setWindowTitle(title);
    setFixedSize(int(std::lround(ClientWidth / WindowUtils::twipsPerPixelX())),
                 int(std::lround(ClientHeight / WindowUtils::twipsPerPixelY())));

    auto *heading = new QLabel(title);
    heading->setObjectName(QStringLiteral("Ltitle"));
    QFont big = heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    heading->setFont(big);

    m_caut = new QComboBox;
    m_caut->setObjectName(QStringLiteral("Caut"));
    const QString automation = QStringLiteral("Automazione");
    m_caut->setAccessibleName(automation);
    for (int i = 1; i <= LastListedPoint; ++i) {
        const Dispositivo &d = model.Dispositivi.at(size_t(i));
        if (!d.name.isEmpty())
            m_caut->addItem(entryText(i, d));
    }

    const QString from = QStringLiteral("Valida dalle");
    const QString to = QStringLiteral("Valida alle");
    QLineEdit *tdaH = timeField("TdaH", from);
    QLineEdit *tdaM = timeField("TdaM", from);
    QLineEdit *taH = timeField("TaH", to);
    QLineEdit *taM = timeField("TaM", to);

    auto *form = new QGridLayout;
    form->addWidget(new QLabel(automation), 0, 0);
    form->addWidget(m_caut, 0, 1, 1, 4);
    const auto timeRow = [form](int row, const QString &caption, QLineEdit *hours, QLineEdit *minutes) {
        form->addWidget(new QLabel(caption), row, 0);
        form->addWidget(hours, row, 1);
        form->addWidget(new QLabel(QStringLiteral(":")), row, 2);
        form->addWidget(minutes, row, 3);
    };
    timeRow(1, from, tdaH, tdaM);
    timeRow(2, to, taH, taM);
    form->setColumnStretch(4, 1);

    auto *buttons = new QHBoxLayout;
    for (const auto &[name, caption] : {std::pair{"Cadd", "Aggiungi"}, {"Cmod", "Modifica"}, {"Cdel", "Elimina"}}) {
        auto *b = new QPushButton(QString::fromLatin1(caption));
        b->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(b);
    }
    buttons->addStretch();

    auto *grid = new QTableWidget;
    grid->setObjectName(QStringLiteral("Flex1"));
    grid->setAccessibleName(title);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->horizontalHeader()->setStretchLastSection(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(grid, 1);
}
