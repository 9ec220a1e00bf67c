#pragma once
// The slide-show page: the caption sample and its colours, the background
// colour, the image size choice and the categories the show takes.
#include "app/PageContext.h"
#include "slideshow/DisplaySettings.h"

class QButtonGroup;
class QColor;

namespace lumetta {

class SlideShowPage : public Page {
    Q_DECLARE_TR_FUNCTIONS(TfrmMain)  // the form's context, where lupdate looks
public:
    explicit SlideShowPage(const PageContext &context);

    // The image-size choice is a button group, not a control of the form.
    QButtonGroup *imageSizeGroup() const { return m_imageSizeGroup; }
    // What the image window reads from the option controls, as they are now.
    DisplaySettings displaySettings() const;

    void loadCategories();
    void applyCaptionBackground();
    void applyCaptionFont();
    void setCaptionColor(const QColor &color);
    void setCaptionBackground(const QColor &color);
    void setBackgroundColor(const QColor &color);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeCaptionSample();
    void lstSelectedCatsClickCheck();
    void CaptionColorClick();
    void CaptionBGClick();
    void butBGcolorClick();

    QButtonGroup *m_imageSizeGroup = nullptr;
    bool m_loadingCategories = false;
};

} // namespace lumetta
