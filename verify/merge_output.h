// The merge output: one comma-separated line per record with one value per
// form field, written next to the extract as "2018DM_" + its file name, and
// the import instructions shown once it is saved.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "verify/verification_session.h"

namespace bq {

class OutputFile;
class Registry;

// The output file of `extractFile`: its folder part + "2018" + "DM_" + its file name.
std::string OutputFileName(std::string_view extractFile);

// The text shown after saving, lines joined by CR LF.
std::string ImportInstructions(std::string_view extractFile, std::string_view formName);

// The output of a session's verification, streamed into a temporary file
// beside the extract as the records are verified, and put in place only by
// Save: until then the previous output stays as it was, and dropping the
// object removes the temporary file. Where no temporary file can be made or
// written, the verification runs without one and Save writes the output in
// a second pass, so that a bad value is still told before a file error.
class MergeOutput {
  public:
    // `session` must have its extract loaded and outlive the object.
    explicit MergeOutput(VerificationSession& session);
    ~MergeOutput();
    MergeOutput(const MergeOutput&) = delete;
    MergeOutput& operator=(const MergeOutput&) = delete;

    // Runs session.Verify(options), the rows going to the temporary file.
    void Verify(VerifyOptions options = {});
    // Puts the output in place, no more open than the extract; records its
    // folder as TextDirectory in `registry`, and returns the import
    // instructions. Throws Error with the message of the step that failed;
    // no later step runs. `options` serve a second pass.
    std::string Save(Registry& registry, VerifyOptions options = {});

  private:
    // A new temporary file for the output.
    std::unique_ptr<OutputFile> Create() const;

    VerificationSession& session_;
    std::string path_;
    std::unique_ptr<OutputFile> file_;
};

}  // namespace bq
