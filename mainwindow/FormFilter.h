#pragma once

// The view filter dialog: which kinds of artwork a song must have (any one
// of them) to be listed on the Eligible tab.

#include <QDialog>

#include <array>
#include <cstdint>

class QCheckBox;
class QLabel;
class QPushButton;

namespace mainwindow {

class FormFilter : public QDialog {
    Q_OBJECT
public:
    enum Result : int32_t { ResultNone = 0, ResultOk = 1, ResultCancel = 2 };
    static constexpr QSize ClientSize{281, 289};

    explicit FormFilter(QWidget* parent = nullptr);

    // The sum of the bits of the checked boxes.
    int32_t ArtTypes() const;
    // Checks exactly the boxes whose bit is set; bits above 128 are ignored.
    void setArtTypes(int32_t types);
    // 1 after OK, 2 after Cancel, 0 when the dialog was closed otherwise
    // (the close box counts as Cancel).
    int32_t DialogResult() const { return m_dialogResult; }

    // kind is the bit value (1, 2, 4 ... 128); nullptr for anything else.
    QCheckBox* CheckArtType(int kind) const;
    QPushButton* ButCheckAll() const { return m_butCheckAll; }
    QPushButton* ButUncheckAll() const { return m_butUncheckAll; }
    QPushButton* ButOK() const { return m_butOK; }
    QPushButton* ButCancel() const { return m_butCancel; }

    void reject() override;

private:
    void setAll(bool checked);
    void finish(Result result);

    std::array<QCheckBox*, 8> m_checkArtType{};
    QPushButton* m_butCheckAll = nullptr;
    QPushButton* m_butUncheckAll = nullptr;
    QPushButton* m_butOK = nullptr;
    QPushButton* m_butCancel = nullptr;
    int32_t m_dialogResult = ResultNone;
};

} // namespace mainwindow
