#pragma once

#ifndef _WIN32
#include <openssl/evp.h>
#include <openssl/x509.h>
#endif

#include <string>

namespace pelmoa::testing {

// How a test server's certificate for 127.0.0.1 relates to the tests' own authority.
enum class ServerCert {
  kTrusted,           // signed by the authority in ca_file()
  kUnknownAuthority,  // signed by another authority nobody trusts
  kWrongHost,         // signed by ours, for another host name
  kExpired,           // signed by ours, expired yesterday
};

// A certificate authority made for this test process and the server certificates it signed,
// made once with fresh keys; nothing is taken from elsewhere. The Windows build has the
// trusted server certificate alone, made by the build (tests/support/CMakeLists.txt).
class TestCertificates {
 public:
  static const TestCertificates& Get();

  // PEM file holding the authority's certificate, for --cacert.
  const std::string& ca_file() const { return ca_file_; }
#ifndef _WIN32
  X509* cert(ServerCert which) const { return certs_[static_cast<int>(which)]; }
  EVP_PKEY* key() const { return key_; }
#endif
  // PEM files of a server certificate and of the key, for servers outside the process.
  std::string cert_file(ServerCert which) const;
  const std::string& key_file() const { return key_file_; }

 private:
  TestCertificates();
  ~TestCertificates();

  std::string folder_;
  std::string ca_file_;
  std::string key_file_;
#ifndef _WIN32
  EVP_PKEY* key_ = nullptr;
  X509* certs_[4] = {};
#endif
};

}  // namespace pelmoa::testing
