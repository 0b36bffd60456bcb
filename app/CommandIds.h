#pragma once

// Command ids of the menus and toolbars. The numbers are fixed: tests,
// scripted sessions and the toolbar layout name commands by them.
namespace cmd {
// File
inline constexpr int kNewSite = 57600;
inline constexpr int kOpenSite = 57601;
inline constexpr int kCloseSite = 57602;
inline constexpr int kSave = 57603;
inline constexpr int kSaveAs = 57604;
inline constexpr int kRecentFirst = 57616; // four entries, 57616..57619
inline constexpr int kExit = 57665;
inline constexpr int kNewFromTemplate = 32865;
inline constexpr int kSaveAsTemplate = 32866;
// Edit
inline constexpr int kDelete = 57632;
inline constexpr int kCopy = 57634;
inline constexpr int kCut = 57635;
inline constexpr int kPaste = 57637;
inline constexpr int kSelectAll = 57642;
inline constexpr int kUndo = 57643;
inline constexpr int kRedo = 57644;
inline constexpr int kCopyBackground = 32867;
inline constexpr int kPasteBackground = 32868;
// Page
inline constexpr int kNewPage = 32772;
inline constexpr int kShowPage = 32773;
inline constexpr int kDeletePage = 32820;
inline constexpr int kPageProperties = 32895;
inline constexpr int kSiteProperties = 32803;
inline constexpr int kMetaTags = 32894;
inline constexpr int kHeadHtml = 32892;
// Arrange
inline constexpr int kBringToFront = 32790;
inline constexpr int kSendToBack = 32791;
inline constexpr int kBringForward = 32792;
inline constexpr int kSendBackward = 32793;
inline constexpr int kGroup = 32794;
inline constexpr int kAlignLeft = 32884;
inline constexpr int kAlignRight = 32885;
inline constexpr int kAlignTop = 32886;
inline constexpr int kAlignBottom = 32887;
inline constexpr int kSpaceHorizontal = 32842;
inline constexpr int kSpaceVertical = 32843;
inline constexpr int kCentreBetweenGuides = 32844;
inline constexpr int kScaleToImageFill = 32856;
inline constexpr int kInsertVerticalGuide = 32837;
inline constexpr int kInsertHorizontalGuide = 32838;
inline constexpr int kUseGuides = 32839;
inline constexpr int kHideGuides = 32840;
inline constexpr int kRemoveGuides = 32841;
// Guides that the mouse can neither drag nor remove (a setting of the editor,
// not of the page: the site file has no place for it).
inline constexpr int kLockGuides = 32845;
// Insert
inline constexpr int kInsertSnippet = 32896;
// Site
inline constexpr int kPreview = 32897;
inline constexpr int kExport = 32898;
inline constexpr int kPublish = 32899;
inline constexpr int kSendChanges = 32900;
inline constexpr int kRemoveSite = 32901;
inline constexpr int kInternetSettings = 32902;
inline constexpr int kPreferences = 32903;
// View
inline constexpr int kInspectorPage = 32890; // the seven inspector windows follow
inline constexpr int kInspectorObject = 32891;
inline constexpr int kInspectorLink = 32879;
inline constexpr int kInspectorFill = 32880;
inline constexpr int kInspectorEffect = 32881;
inline constexpr int kInspectorStyles = 32893;
inline constexpr int kInspectorMouseOver = 32888;
inline constexpr int kHideInspector = 59426;
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;
inline constexpr int kViewToolbox = 32904;
// Help
inline constexpr int kHelp = 57667;
inline constexpr int kAbout = 57664;
// Tools of the toolbox: 33000 + the tool id.
inline constexpr int kToolBase = 33000;
} // namespace cmd
