#pragma once
// The About box: product name, program version, notice and website. Built
// anew each time it opens, so it shows the language installed then.

#include "widgets/AbsFrameLessAutoSize.h"

class QLabel;
class QPushButton;

class AboutDialog : public AbsFrameLessAutoSize {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);

public slots:
    void onButtonOK();

private:
    void arrange();

    QLabel* m_pLogoLabel = nullptr;
    QLabel* m_pNameLabel = nullptr;
    QLabel* m_pVersionLabel = nullptr;
    QLabel* m_pNoticeLabel = nullptr;
    QLabel* m_pWebsiteLabel = nullptr;
    QPushButton* m_pButtonOK = nullptr;
};
