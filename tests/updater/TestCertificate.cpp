#include "tests/updater/TestCertificate.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

TestCertificate::TestCertificate(
    const std::string& strCommonName, bool bIpAltName, int iNotBeforeDays, int iNotAfterDays)
{
    pKey = EVP_EC_gen("P-256");
    if (!pKey)
        return;
    X509* pNew = X509_new();
    bool bOk = pNew != nullptr;
    bOk = bOk && X509_set_version(pNew, 2) == 1;
    bOk = bOk && ASN1_INTEGER_set(X509_get_serialNumber(pNew), 4711) == 1;
    bOk = bOk && X509_gmtime_adj(X509_getm_notBefore(pNew), 86400L * iNotBeforeDays) != nullptr;
    bOk = bOk && X509_gmtime_adj(X509_getm_notAfter(pNew), 86400L * iNotAfterDays) != nullptr;
    bOk = bOk && X509_set_pubkey(pNew, pKey) == 1;
    if (bOk) {
        X509_NAME* pName = X509_get_subject_name(pNew);
        bOk = X509_NAME_add_entry_by_txt(pName, "CN", MBSTRING_ASC,
                  reinterpret_cast<const unsigned char*>(strCommonName.c_str()), -1, -1, 0)
                == 1
            && X509_set_issuer_name(pNew, pName) == 1;
    }
    if (bOk && bIpAltName) {
        X509V3_CTX clContext;
        X509V3_set_ctx_nodb(&clContext);
        X509V3_set_ctx(&clContext, pNew, pNew, nullptr, nullptr, 0);
        X509_EXTENSION* pExtension
            = X509V3_EXT_conf_nid(nullptr, &clContext, NID_subject_alt_name, "IP:127.0.0.1");
        bOk = pExtension && X509_add_ext(pNew, pExtension, -1) == 1;
        X509_EXTENSION_free(pExtension);
    }
    bOk = bOk && X509_sign(pNew, pKey, EVP_sha256()) > 0;
    if (!bOk) {
        X509_free(pNew);
        return;
    }
    pCert = pNew;
}

TestCertificate::~TestCertificate()
{
    X509_free(pCert);
    EVP_PKEY_free(pKey);
}

std::string TestCertificate::pem() const
{
    std::string strPem;
    BIO* pBio = BIO_new(BIO_s_mem());
    if (pBio && pCert && PEM_write_bio_X509(pBio, pCert) == 1) {
        char* pData = nullptr;
        const long lLength = BIO_get_mem_data(pBio, &pData);
        if (pData && lLength > 0)
            strPem.assign(pData, static_cast<size_t>(lLength));
    }
    BIO_free(pBio);
    return strPem;
}
