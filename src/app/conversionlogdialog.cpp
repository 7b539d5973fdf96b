#include "app/conversionlogdialog.h"

#include "convert/tooltext.h"
#include "windowkit/readableicon.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace inkvale {

ConversionLogDialog::ConversionLogDialog(const BatchResult &result, QWidget *parent)
    : QDialog(parent)
    , m_failures(result.failures)
    , m_list(new QListWidget(this))
    , m_details(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("ConversionLogDialog"));
    setWindowTitle(tr("Conversion Log"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *summary = new QLabel(
        (m_failures.size() == 1 ? tr("1 image produced no picture.")
                                : tr("%1 images produced no picture.").arg(m_failures.size())) +
            QLatin1Char(' ') + tr("Select one to see what the image tool said."),
        this);
    summary->setWordWrap(true);

    m_list->setObjectName(QStringLiteral("FailureList"));
    m_list->setAccessibleName(tr("Failed images"));
    for (const BatchFailure &failure : std::as_const(m_failures)) {
        auto *item = new QListWidgetItem(QDir::toNativeSeparators(failure.path), m_list);
        item->setToolTip(failure.reason);
    }
    m_details->setObjectName(QStringLiteral("FailureDetails"));
    m_details->setAccessibleName(tr("What the image tool said"));
    m_details->setReadOnly(true);
    m_details->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_details->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_list);
    splitter->addWidget(m_details);
    splitter->setStretchFactor(1, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    // The style's close cross is black, and vanishes on a dark theme's button.
    QPushButton *closeButton = buttons->button(QDialogButtonBox::Close);
    closeButton->setIcon(readableButtonIcon(closeButton->icon()));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(splitter, 1);
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, &ConversionLogDialog::showFailure);
    if (!m_failures.isEmpty()) {
        m_list->setCurrentRow(0);
    }
    resize(640, 420);
}

void ConversionLogDialog::showFailure(int index)
{
    if (index < 0 || index >= m_failures.size()) {
        m_details->clear();
        return;
    }
    const BatchFailure &failure = m_failures.at(index);
    // A picture refused before the tool ran has only the reason in its log: said once.
    const QString words = plainToolText(failure.log);
    m_details->setPlainText(words.trimmed().isEmpty() || words.trimmed() == failure.reason
                                ? failure.reason
                                : failure.reason + QStringLiteral("\n\n") + words);
}

} // namespace inkvale
