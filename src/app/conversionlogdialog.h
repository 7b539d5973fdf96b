#pragma once

#include "convert/batchresult.h"

#include <QDialog>

class QListWidget;
class QPlainTextEdit;

namespace inkvale {

// The images of the last batch that produced no picture, each with the reason and the tool's
// own words.
class ConversionLogDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ConversionLogDialog(const BatchResult &result, QWidget *parent = nullptr);

private:
    void showFailure(int index);

    QList<BatchFailure> m_failures;
    QListWidget *m_list;
    QPlainTextEdit *m_details;
};

} // namespace inkvale
