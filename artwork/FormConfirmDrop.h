#pragma once

// The two questions before a dropped image becomes a folder's Folder.jpg:
// FormConfirmIneligible when the folder has none yet, FormConfirmReplace
// (both images side by side) when it has one.

#include <QDialog>

#include <cstdint>

class QLabel;
class QPushButton;

namespace artwork {

class FormConfirmDrop : public QDialog {
    Q_OBJECT
public:
    int32_t Result = 0;

    QLabel* ImgNew = nullptr;
    QLabel* LabImgNew = nullptr;
    QPushButton* ButYes = nullptr;
    QPushButton* ButNo = nullptr;

    void reject() override;

    // An image shown at most this big (its file is never decoded whole).
    static constexpr int ShownSide = 240;
    // Loads path into label, scaled down; false when it cannot be read or
    // declares an absurd size.
    static bool LoadPreview(QLabel* label, const QString& path);
    // "(Size: N KB)" of the file.
    static QString SizeText(const QString& path);

protected:
    explicit FormConfirmDrop(QWidget* parent);
    // Result 1, the dropped image shown; 3 when it cannot be loaded.
    void startWith(const QString& droppedImage);
    void finish(int32_t result);
};

class FormConfirmIneligible : public FormConfirmDrop {
    Q_OBJECT
public:
    explicit FormConfirmIneligible(QWidget* parent = nullptr);
    void Start(const QString& droppedImage) { startWith(droppedImage); }
};

class FormConfirmReplace : public FormConfirmDrop {
    Q_OBJECT
public:
    explicit FormConfirmReplace(QWidget* parent = nullptr);
    // existingFolderJpg: the folder's Folder.jpg in whatever case it has.
    void Start(const QString& location, const QString& droppedImage,
               const QString& existingFolderJpg);

    QLabel* ImgCur = nullptr;
    QLabel* LabImgCur = nullptr;
};

} // namespace artwork
