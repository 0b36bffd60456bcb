#pragma once
#include <QSize>
#include <QString>
#include <functional>

class CHtmlObject;
class QWidget;

// The dialogs the page view opens. Each is a replaceable function so that
// tests (and later the inspector) can answer without a modal window.
namespace pw {

// How a picture larger than the page is placed.
enum class ELargePicture { Fit, Clip, Cancel };

struct CEditorDialogs {
    // A picture file chosen in a file dialog with a preview, starting in the
    // folder; empty when cancelled.
    std::function<QString(QWidget* parent, const QString& folder)> choosePicture;
    // Fit (scale down keeping the proportions) or clip a picture that is
    // larger than the page.
    std::function<ELargePicture(QWidget* parent, QSize picture, QSize page)> largePicture;
    // A picture file could not be loaded.
    std::function<void(QWidget* parent, const QString& file, int ioError)> pictureError;
    // The HTML of an HTML object, in a plain editing dialog.
    std::function<void(QWidget* parent, CHtmlObject& html)> editHtml;
};

// The dialogs in use; filled with the Qt dialogs below at first use.
CEditorDialogs& EditorDialogs();

QString ChoosePictureDialog(QWidget* parent, const QString& folder);
ELargePicture LargePictureDialog(QWidget* parent, QSize picture, QSize page);
void PictureErrorDialog(QWidget* parent, const QString& file, int ioError);
void EditHtmlDialog(QWidget* parent, CHtmlObject& html);

} // namespace pw
