#pragma once
// The one data set the application edits: the memory image, the run options, the codec state
// that follows the model identification, and the current file name and folder.
#include <string>

#include "base/RunOptions.h"
#include "model/FrequencyCodec.h"
#include "model/MemoryImage.h"

namespace velora {

class Document {
  public:
    explicit Document(RunOptions options = {}) : options_(options) { codec_.setFineStep(options.fineStep); }

    MemoryImage& image() { return image_; }
    const MemoryImage& image() const { return image_; }
    const RunOptions& options() const { return options_; }
    FrequencyCodec& codec() { return codec_; }
    const FrequencyCodec& codec() const { return codec_; }

    // Bare file name, at most 259 characters; "velora.dat" after start-up and New.
    const std::string& fileName() const { return fileName_; }
    void setFileName(std::string name);
    // Folder of the last file opened or saved, always ending in '/'.
    const std::string& folder() const { return folder_; }
    void setFolder(std::string folder);
    std::string path() const { return folder_ + fileName_; }
    // Splits a path into folder (up to and including the last '/', ':' or '\') and bare name.
    void setPath(const std::string& path);

    bool isModified() const { return image_.isModified(); }

  private:
    MemoryImage image_;
    RunOptions options_;
    FrequencyCodec codec_;
    std::string fileName_{"velora.dat"};
    std::string folder_{"./"};
};

} // namespace velora
