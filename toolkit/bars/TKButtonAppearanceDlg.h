#pragma once
// "Button Appearance": how one toolbar or menu button looks in customize mode (image,
// text or both), its text, and whether it shows the command's default image or one
// of the user-defined images, which can be drawn anew or edited.
#include "platform/afx/Dialog.h"

class CTKToolbarButton;
class CTKToolbarImageList;
class CTKUserTool;

enum : UINT {
  IDD_TKBUTTON_APPEARANCE = 16132,
  IDC_TKAPPEARANCE_TEXT = 16500,
  IDC_TKAPPEARANCE_IMAGE_ONLY = 16505,
  IDC_TKAPPEARANCE_TEXT_ONLY = 16506,
  IDC_TKAPPEARANCE_IMAGE_TEXT = 16507,
  IDC_TKAPPEARANCE_IMAGES = 16508,
  IDC_TKAPPEARANCE_NEW = 16509,
  IDC_TKAPPEARANCE_EDIT = 16510,
  IDC_TKAPPEARANCE_USER_IMAGE = 16529,
  IDC_TKAPPEARANCE_DEFAULT_IMAGE = 16530,
  IDC_TKAPPEARANCE_DEFAULT_FRAME = 16531,
  IDC_TKAPPEARANCE_DESCRIPTION = 16603,
};

class CTKButtonAppearanceDlg : public CDialog {
public:
  CTKButtonAppearanceDlg(CTKToolbarButton* button, CTKToolbarImageList* images, CWnd* parent = nullptr,
                         int startImage = 0, BOOL menuMode = FALSE);

  // The user image under a point of the image cells, -1 when none.
  int ImageAt(CPoint point) const;
  int GetSelectedImage() const { return m_iSelImage; }

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnDrawItem(WPARAM id, LPARAM item);
  void OnOK() override;
  void EnableControls();
  void OnNewImage();
  void OnEditImage();
  BOOL EditImage(HBITMAP bitmap);
  void DrawImages(LPDRAWITEMSTRUCT item);
  void DrawDefaultImage(LPDRAWITEMSTRUCT item);
  SIZE CellSize() const;
  int DefaultImage() const;

  DECLARE_MESSAGE_MAP()

  CTKToolbarButton* m_pButton;
  CTKToolbarImageList* m_pImages;
  int m_iStartImage;
  BOOL m_bMenuMode;
  int m_iSelImage = -1;
  BOOL m_bImage = TRUE;
  BOOL m_bText = FALSE;
  BOOL m_bUserImage = FALSE;
  CTKUserTool* m_pUserTool = nullptr;
  CString m_strButtonText;
  CString m_strAccel;
  CString m_strButtonDescr;
};
