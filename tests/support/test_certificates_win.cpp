#include "test_certificates.h"

namespace pelmoa::testing {

// The files PELMOA_TEST_CERTS names, made when the build was configured.
TestCertificates::TestCertificates()
    : folder_(PELMOA_TEST_CERTS), ca_file_(folder_ + "/ca.pem"), key_file_(folder_ + "/key.pem") {}

TestCertificates::~TestCertificates() = default;

const TestCertificates& TestCertificates::Get() {
  static const TestCertificates certificates;
  return certificates;
}

std::string TestCertificates::cert_file(ServerCert which) const {
  return which == ServerCert::kTrusted ? folder_ + "/trusted.pem" : folder_ + "/none.pem";
}

}  // namespace pelmoa::testing
