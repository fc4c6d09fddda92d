#pragma once

#include <memory>

#include "harvest/transfer.h"

namespace pelmoa {

// The transfer control over libcurl: one multi handle per owner, so connections are reused
// across a page, its frames and its images. curl_global_init must have run (see main()).
class CurlTransfer : public Transfer {
 public:
  explicit CurlTransfer(TransferOptions options = {});
  ~CurlTransfer() override;
  CurlTransfer(const CurlTransfer&) = delete;
  CurlTransfer& operator=(const CurlTransfer&) = delete;

  void BeginRun() override;
  std::string RetrievePage(const std::string& url) override;
  std::string DocumentPath() const override;
  void BeginImages(const ImageBatch& images) override;
  ImageResult FinishImage(std::size_t k) override;
  void EndImages() override;

  void set_jobs(int jobs);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// "Pelmoa/<version>", the User-Agent of every request.
std::string UserAgent();

}  // namespace pelmoa
