#include "model/MissingPicture.h"
#include "image/Image.h"
#include "services/RelinkMaps.h"
#include "services/Cp1252.h"
#include "services/CurrentSettings.h"
#include "services/DataFolders.h"
#include "services/IO.h"
#include "services/IOError.h"
#include "services/Settings.h"
#include "services/UserInteraction.h"
#include <optional>

namespace mp = missing_picture;

std::string FolderOfPath(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string NameOfPath(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

namespace {
// A few rounds of "try again" with a cancelled file dialog are fine; a port
// that never chooses anything must not keep the loader asking forever.
constexpr int kMaxRounds = 25;

std::unique_ptr<CImage> TryLoad(const std::string& path, int& error) {
    int format = FORMAT_ANY;
    error = IOERR_NONE;
    auto image = CIO::LoadImageA(cp1252::ToUtf8(path), format, error);
    if (!image && (error < IOERR_NOT_FOUND || error > IOERR_NO_MEMORY)) error = IOERR_FORMAT;
    return image;
}

// The silent second chance through the maps the user filled earlier.
std::unique_ptr<CImage> TryMaps(const std::string& path, int& error, const CRelinkMaps& maps,
                                std::string& foundAt) {
    std::optional<std::string> candidate;
    if (error == IOERR_FORMAT || error == IOERR_NOT_FOUND) candidate = maps.FindFile(path);
    if (!candidate && (error == IOERR_NOT_FOUND || error == IOERR_NO_FOLDER)) {
        if (auto folder = maps.FindFolder(FolderOfPath(path)))
            candidate = *folder + NameOfPath(path);
    }
    if (!candidate) return nullptr;
    int retryError = IOERR_NONE;
    auto image = TryLoad(*candidate, retryError);
    if (image) {
        foundAt = *candidate;
        return image;
    }
    error = retryError;
    return nullptr;
}

void Remember(CRelinkMaps* maps, int error, const std::string& oldPath,
              const std::string& newPath) {
    if (!maps) return;
    if (error == IOERR_FORMAT || error == IOERR_NOT_FOUND) maps->AddFile(oldPath, newPath);
    if (error == IOERR_NOT_FOUND || error == IOERR_NO_FOLDER) {
        const std::string oldFolder = FolderOfPath(oldPath), newFolder = FolderOfPath(newPath);
        if (CRelinkMaps::ToLower(NameOfPath(oldPath)) ==
                CRelinkMaps::ToLower(NameOfPath(newPath)) &&
            CRelinkMaps::ToLower(oldFolder) != CRelinkMaps::ToLower(newFolder))
            maps->AddFolder(oldFolder, newFolder);
    }
}

CChoice MakeDialog(int error, const std::string& path, const CColor& colour) {
    const bool broken = error == IOERR_FORMAT;
    CChoice choice;
    choice.id = broken ? mp::kBrokenId : mp::kMissingId;
    choice.caption = broken ? mp::kBrokenCaption : mp::kMissingCaption;
    choice.text = std::string(broken ? mp::kBrokenText : mp::kMissingText) + "\n" +
                  cp1252::ToUtf8(path) + "\n\n" + mp::kChoiceText;
    choice.colourLabel = mp::kSolidLabel;
    choice.colourInitial = colour;
    // The safe answer first: a port that always takes the default keeps the
    // page usable with the solid colour instead of asking for files forever.
    choice.buttons = {mp::kOkButton, mp::kRetryButton};
    return choice;
}

// The dialog rounds; fills `result` and returns when the user decided.
void AskUser(const std::string& path, int error, const CPictureContext& context,
             CPictureLoad& result) {
    CUserInteraction& ui = *context.ui;
    for (int round = 0; round < kMaxRounds; ++round) {
        const CChoiceResult answer = ui.Choose(MakeDialog(error, path, result.colour));
        // The swatch keeps what the user picked across "try again" rounds.
        if (answer.colour) result.colour = *answer.colour;
        if (answer.button != 1) {
            // OK, or the dialog closed: the solid colour takes over.
            result.useColour = true;
            return;
        }
        CFileRequest request;
        request.mode = CFileRequest::Mode::Open;
        request.start = MutableCurrentSettings().GetImagePath();
        request.filters = {"Billeder (*.jpg;*.jpeg;*.gif;*.png;*.bmp)"};
        const std::filesystem::path chosen = ui.ChooseFile(request);
        if (chosen.empty()) continue;
        const std::string chosenPath = cp1252::FromUtf8(chosen.string());
        int chosenError = IOERR_NONE;
        auto image = TryLoad(chosenPath, chosenError);
        if (image) {
            Remember(context.maps, error, path, chosenPath);
            MutableCurrentSettings().SetImagePath(
                CDataFolders::WithTrailingSlash(chosen.parent_path()));
            result.image = std::move(image);
            result.path = chosenPath;
            result.error = IOERR_NONE;
            return;
        }
        result.error = chosenError;
        if (chosenError != IOERR_NOT_FOUND && chosenError != IOERR_FORMAT &&
            chosenError != IOERR_NO_FOLDER)
            return; // no memory and the like: give up on this render
        error = chosenError;
    }
}
} // namespace

CPictureLoad LoadFillPicture(const std::string& path, const CColor& colour,
                             const CPictureContext& context) {
    CPictureLoad result;
    result.path = path;
    result.colour = colour;
    int error = IOERR_NONE;
    result.image = TryLoad(path, error);
    if (result.image) return result;
    if (context.maps) result.image = TryMaps(path, error, *context.maps, result.path);
    if (result.image) return result;

    result.error = error;
    if (context.markModified) context.markModified();
    if (error == IOERR_NO_MEMORY) {
        if (context.ui)
            context.ui->Message({mp::kNoMemoryId, mp::kNoMemoryCaption, mp::kNoMemoryText,
                                 CMessage::Icon::Error, CMessage::Buttons::Ok});
        result.useColour = true;
        result.colour = CColor(255, 0, 0);
        return result;
    }
    if (context.ui) AskUser(path, error, context, result);
    return result;
}
