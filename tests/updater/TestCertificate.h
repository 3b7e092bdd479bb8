#pragma once

#include <string>

typedef struct x509_st X509;
typedef struct evp_pkey_st EVP_PKEY;

// A self-signed certificate made at test time. Owns the certificate and its key.
class TestCertificate
{
public:
    // Valid from iNotBeforeDays to iNotAfterDays relative to now; with bIpAltName the certificate
    // also names 127.0.0.1, so that only "self-signed" is wrong with it.
    TestCertificate(const std::string& strCommonName, bool bIpAltName, int iNotBeforeDays, int iNotAfterDays);
    ~TestCertificate();
    TestCertificate(const TestCertificate&) = delete;
    TestCertificate& operator=(const TestCertificate&) = delete;

    bool isValid() const { return pCert && pKey; }
    X509* certificate() const { return pCert; }
    EVP_PKEY* key() const { return pKey; }
    // The certificate in PEM form (for a trust store).
    std::string pem() const;

private:
    X509* pCert = nullptr;
    EVP_PKEY* pKey = nullptr;
};
