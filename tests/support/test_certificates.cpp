#include "test_certificates.h"

#include <openssl/pem.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace pelmoa::testing {
namespace {

constexpr long kDay = 24 * 60 * 60;

EVP_PKEY* NewKey() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  if (!key) throw std::runtime_error("cannot make a test key");
  return key;
}

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx(&ctx, issuer ? issuer : cert, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_nconf_nid(nullptr, &ctx, nid, value);
  if (!ext) throw std::runtime_error("bad test certificate extension");
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

// A certificate for key, valid from `from` to `until` seconds from now; self-signed when
// issuer is null, else signed with issuer_key.
X509* NewCert(EVP_PKEY* key, const char* common_name, X509* issuer, EVP_PKEY* issuer_key,
              const char* alt_names, long from, long until) {
  static long serial = 1;
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), serial++);
  X509_gmtime_adj(X509_getm_notBefore(cert), from);
  X509_gmtime_adj(X509_getm_notAfter(cert), until);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("Pelmoa tests"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(common_name), -1, -1, 0);
  X509_set_issuer_name(cert, issuer ? X509_get_subject_name(issuer) : name);
  AddExtension(cert, issuer, NID_subject_key_identifier, "hash");
  if (issuer) {
    AddExtension(cert, issuer, NID_authority_key_identifier, "keyid:always");
    AddExtension(cert, issuer, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(cert, issuer, NID_key_usage, "critical,digitalSignature");
    AddExtension(cert, issuer, NID_ext_key_usage, "serverAuth");
    AddExtension(cert, issuer, NID_subject_alt_name, alt_names);
  } else {
    AddExtension(cert, issuer, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(cert, issuer, NID_key_usage, "critical,keyCertSign,cRLSign");
  }
  if (!X509_sign(cert, issuer ? issuer_key : key, EVP_sha256())) {
    throw std::runtime_error("cannot sign a test certificate");
  }
  return cert;
}

void WritePem(const std::string& path, X509* cert, EVP_PKEY* key) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  const bool ok = cert ? PEM_write_X509(f, cert)
                       : PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr);
  std::fclose(f);
  if (!ok) throw std::runtime_error("cannot write " + path);
}

const char* kNames[] = {"trusted", "unknown-authority", "wrong-host", "expired"};

}  // namespace

const TestCertificates& TestCertificates::Get() {
  static const TestCertificates certificates;
  return certificates;
}

TestCertificates::TestCertificates() {
  folder_ = (std::filesystem::temp_directory_path() /
             ("pelmoa-certs-" + std::to_string(::getpid())))
                .string();
  std::filesystem::create_directories(folder_);
  EVP_PKEY* ca_key = NewKey();
  EVP_PKEY* stranger_key = NewKey();
  key_ = NewKey();
  X509* ca = NewCert(ca_key, "Pelmoa test authority", nullptr, nullptr, nullptr, -kDay, 30 * kDay);
  X509* stranger = NewCert(stranger_key, "Pelmoa unknown authority", nullptr, nullptr, nullptr,
                           -kDay, 30 * kDay);
  const char* here = "IP:127.0.0.1,DNS:localhost";
  certs_[0] = NewCert(key_, "127.0.0.1", ca, ca_key, here, -kDay, 30 * kDay);
  certs_[1] = NewCert(key_, "127.0.0.1", stranger, stranger_key, here, -kDay, 30 * kDay);
  certs_[2] = NewCert(key_, "elsewhere.invalid", ca, ca_key, "DNS:elsewhere.invalid", -kDay,
                      30 * kDay);
  certs_[3] = NewCert(key_, "127.0.0.1", ca, ca_key, here, -3 * kDay, -kDay);
  ca_file_ = folder_ + "/ca.pem";
  key_file_ = folder_ + "/key.pem";
  WritePem(ca_file_, ca, nullptr);
  WritePem(key_file_, nullptr, key_);
  for (int k = 0; k < 4; ++k) WritePem(cert_file(static_cast<ServerCert>(k)), certs_[k], nullptr);
  X509_free(ca);
  X509_free(stranger);
  EVP_PKEY_free(ca_key);
  EVP_PKEY_free(stranger_key);
}

TestCertificates::~TestCertificates() {
  for (X509* c : certs_) X509_free(c);
  EVP_PKEY_free(key_);
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

std::string TestCertificates::cert_file(ServerCert which) const {
  return folder_ + "/" + kNames[static_cast<int>(which)] + ".pem";
}

}  // namespace pelmoa::testing
