#pragma once
// The baud-rate selectors of the fibre tab, one row per fibre channel, as the
// window shows the fibre rates of the configuration model. Every call finds
// the widgets again by object name ("comBox_%1", "lineedit_%1", "label_%1") among the
// tab's descendants, so a FibreGrid is a cheap view that can be made anew
// for each call.

#include <QByteArray>
#include <QString>
#include <cstdint>

class QComboBox;
class QGridLayout;
class QLineEdit;
class QWidget;

class FibreGrid {
public:
    FibreGrid(QWidget* tab, QGridLayout* grid, int nCAN, int nFiberOptic, int driveType);

    // Creates the label, the selector and (family 2) the custom line edit of
    // every fibre channel, framed by spacers that centre them in the tab.
    void build() const;
    // Deletes the rows and the spacers again; the tab's note label stays.
    void clear() const;

    // Sets every text again in the language installed now.
    void retranslate() const;

    // Shows the selector's line edit when text is the "custom" entry, hides
    // it otherwise. The selectors built here are already connected to this.
    void onSelectorTextChanged(QComboBox* selector, const QString& text) const;

    QComboBox* selector(int channel) const;
    QLineEdit* customEdit(int channel) const;

    // Family 2: selects the entry showing text, else "custom" with text typed in.
    void setFibreBaudText(int channel, const QString& text) const;
    // Family 2: the selected rate's text, or the line edit's text for "custom".
    QString fibreBaudText(int channel) const;

    // The "custom" entry text in the language installed now.
    static QString customText();

private:
    static QString rateLabelText(int channel);
    static QString customEditName(int channel);
    void addFrame() const;
    void addChannel(int channel) const;
    QWidget* widgetAt(int channel, int column) const;

    // The grid's columns of a fibre's row (row 0 holds the frame).
    static constexpr int kLabelColumn = 1;
    static constexpr int kSelectorColumn = 2;
    static constexpr int kCustomEditColumn = 3;

    QWidget* m_tab;
    QGridLayout* m_grid;
    int m_nCAN;
    int m_nFiberOptic;
    int m_driveType;
};
