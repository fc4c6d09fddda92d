#pragma once

#include <memory>

#include "harvest/net/transfer.h"

namespace pelmoa {

struct CurlLoop;

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
  std::unique_ptr<CurlLoop> impl_;
};

}  // namespace pelmoa
