#include "verify/merge_output.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "schema/form_catalogue.h"

namespace bq {

std::string OutputFileName(std::string_view extractFile) {
    return FolderPart(extractFile) + std::string(kReportingYear) + "DM_" + FileNamePart(extractFile);
}

std::string ImportInstructions(std::string_view extractFile, std::string_view formName) {
    const std::string output = OutputFileName(extractFile);
    std::string text = "Data Extract \"" + FileNamePart(extractFile) + "\" has been saved as\r\n\r\n";
    text += "FILE:  " + FileNamePart(output) + "\r\n";
    text += "FOLDER:  " + FolderPart(output) + "\r\n\r\n";
    text += "This file is now ready for importing!\r\n\r\n";
    text += "In order to import this file\r\n\r\n";
    text += "- Start BRISQUILL.\r\n";
    text += "- Open \"Client (Filer, Entity) Management\" from the \"Module\" menu.\r\n";
    text += "- Double click the Client (Filer) to be used.\r\n";
    text += "- Select Form \"" + std::string(formName) + "\" from the \"Forms\" menu.\r\n";
    text += "- Select \"Import ASCII Text File\" from the \"File\" menu.\r\n";
    text += "- Browse to the FILE in the FOLDER shown above.\r\n";
    text += "- Click the \"Open\" button.";
    return text;
}

MergeOutput::MergeOutput(VerificationSession& session)
    : session_(session), path_(OutputFileName(session.ExtractFile())) {}

MergeOutput::~MergeOutput() = default;

std::unique_ptr<OutputFile> MergeOutput::Create() const {
    WriteOptions options;
    options.folder = session_.ExtractFolder();
    // The output holds the same SSNs and TINs as the extract: it is never more open.
    if (options.folder) options.newFileMode = FileMode(*options.folder, session_.ExtractFile());
    return std::make_unique<OutputFile>(path_, options);
}

void MergeOutput::Verify(VerifyOptions options) {
    file_.reset();
    try {
        file_ = Create();
    } catch (const FileError&) {
        // Told by Save, after the verification had its say.
    }
    options.output = [this](std::string_view bytes) {
        if (!file_) return;
        try {
            file_->Write(bytes);
        } catch (const FileError&) {
            file_.reset();
        }
    };
    session_.Verify(options);
    if (!file_) return;
    try {
        file_->Finish();
    } catch (const FileError&) {
        file_.reset();
    }
}

std::string MergeOutput::Save(Registry& registry, VerifyOptions options) {
    if (!file_) {
        std::unique_ptr<OutputFile> file = Create();
        options.output = [&file](std::string_view bytes) { file->Write(bytes); };
        session_.Verify(options);
        file_ = std::move(file);
    }
    file_->Commit();
    file_.reset();
    registry.SetTextDirectory(FolderPart(path_));
    return ImportInstructions(session_.ExtractFile(), session_.FormName());
}

}  // namespace bq
